#pragma once

#include "catalogue/CarTable.h"
#include "editor/CarVersions.h"
#include "editor/ScriptStamp.h"

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quendral {

class EditingControls;
class FileSystem;
class MessagePresenter;
class ReplacementFile;
struct RewriteNotes;
struct SaveSettings;

// The operations behind the main window's events, on the editing controls:
// choosing a drive or folder (which scans it), picking a car (which loads
// it) and saving; and on the selected car's earlier versions: listing,
// comparing and restoring them. The window and the command-line tool both
// drive this.
class CarEditor
{
public:
    // What a save writes for a setting left as it was loaded, when another
    // save has changed the car script since the load.
    enum class SaveScope {
        // What that other save wrote: only the settings changed here since
        // the load are written over it, and no change of either is lost.
        ChangedSettings,
        // The control as it stands: the window shows every setting, and
        // what the user sees is what is saved.
        EveryControl,
    };

    CarEditor(EditingControls& controls, MessagePresenter& messages, FileSystem& fileSystem);

    CarEditor(const CarEditor&) = delete;
    CarEditor& operator=(const CarEditor&) = delete;

    // Moves the folder chooser to the drive's folder. A drive that cannot be
    // read is reported and both choosers stay where they were.
    bool pickDrive(const std::filesystem::path& drive);

    // Moves the folder chooser to a folder, which runs the racers folder
    // scan. A folder that cannot be read is reported and nothing changes.
    bool openFolder(const std::filesystem::path& folder);

    // Makes one car folder the whole car list and selects it, as though it
    // had been picked from a racers folder holding only that car.
    void pickCarFolder(const std::filesystem::path& carFolder);

    // Reads the selected car's settings into the controls. Returns false,
    // after telling the user, when its script cannot be read (too large,
    // in UTF-16, or more than memory holds), and false without a message
    // when no car is selected.
    bool loadSelectedCar();

    // Checks that a car is chosen and its wheel sizes; then, holding the
    // car's save lock, reads its car script afresh, backs it up and writes
    // it anew from the controls (`scope` says which), and reads back what it
    // wrote. Returns true when the car was saved with every setting.
    // Otherwise the user has been told why, and the car script is unchanged
    // unless the message says that it was saved but could not take a setting.
    //
    // Every save first keeps the script it replaces in the car's history
    // (unless it writes the same bytes), then makes the backup hold it too.
    bool save(SaveScope scope = SaveScope::ChangedSettings);

    enum class SaveOutcome { Saved, NotSaved, ChangedOnDisk };
    // The same save, but only over the bytes `expected` stands for: when the
    // car script, read under the save lock, holds others, nothing is
    // written, nothing is told and the outcome is ChangedOnDisk. NotSaved is
    // what save() tells as false.
    SaveOutcome saveOver(const ScriptStamp& expected, SaveScope scope);

    // The stamp of the script last loaded or saved, while the selected car
    // is the one loaded.
    std::optional<ScriptStamp> loadedStamp() const;

    // The selected car's script as it is now on disk; nothing when it
    // cannot be read.
    std::optional<ScriptStamp> stampOnDisk() const;

    // Whether the controls show other settings than the car's script gave
    // when it was last loaded or saved.
    bool editedSinceLoad() const;

    // What save(scope) would write now, as `written`, beside the car script
    // as it is now, as `current`; nothing is written and no lock taken. The
    // user is told what the save would tell, and the result is what the
    // save would return. `written` stays empty when the save would write
    // nothing.
    bool previewSave(SaveScope scope, std::string& current, std::optional<std::string>& written);

    // Whether the selected car is the one last loaded or saved.
    bool carLoaded() const;

    // The selected car's versions: the car script, then its history newest
    // first (the original last), and the backup where no entry holds it.
    // Returns false, after telling the user, when they cannot be listed, or
    // the car has neither a script it can read nor a history nor a backup.
    bool listVersions(std::vector<VersionListing>& versions);

    // The line diff between two versions of the selected car's script.
    // Returns false, after telling the user, when either is unknown or
    // cannot be read, or what a save would write cannot be made.
    bool compare(const VersionName& from, const VersionName& to, Comparison& comparison);
    // The same up to the diff: both versions named in `comparison` and
    // their bytes, for a caller that diffs them away from the window.
    bool readCompared(const VersionName& from, const VersionName& to, Comparison& comparison,
                      std::array<std::string, 2>& bytes);

    // Makes a version of the selected car's script its script, through the
    // same save, so the script it replaces goes into the history and the
    // backup; a car script that is missing is written anew, with nothing to
    // keep. Returns true when it did; otherwise the user has been told why.
    // The controls are not loaded anew.
    bool restore(const VersionName& version);

    const CarTable& carTable() const { return m_table; }

    // The settings a save writes, each as one.
    enum class Setting { Engines, Drive, Front, Rear, Smallest, Largest };
    using SettingFlags = std::array<bool, 6>;

    // Counts a setting as changed since the car was loaded though its
    // control shows the value loaded: the tool was asked for that value.
    void markChanged(Setting setting);

    // By Setting, those changed since the selected car was loaded: whose
    // controls show another value than loaded, and those marked. A save
    // checks on reading back only these and those its script gave when
    // loaded, and tells when it cannot write a ride height changed here.
    SettingFlags changedSettings() const;

private:
    bool moveFolderChooser(const std::filesystem::path& folder, std::string& error);

    // The settings as the controls hold them.
    struct Settings
    {
        std::array<bool, 4> engines{};
        int drive = -1;
        int front = 0;
        int rear = 0;
        std::string smallest;
        std::string largest;
        bool operator==(const Settings&) const = default;
    };

    // The settings of the car last loaded or saved, as its script held them.
    struct Loaded
    {
        std::filesystem::path carFolder;
        Settings settings;
        ScriptStamp stamp;
        // By Setting: which the script gave, and which were marked changed.
        SettingFlags given{};
        SettingFlags marked{};
    };

    friend class BatchSave;

    // What one car's save writes and how it ends, for a BatchSave to carry
    // out with the saves of other cars.
    struct SaveJob
    {
        const CarEntry* car = nullptr;
        // Writes the new car script for the old one into a file, and what
        // it wrote into `written`. Returns false after telling the user why
        // not.
        std::function<bool(const std::string& old, ReplacementFile& file, std::string& written)> newScript;
        // Once the script is replaced: what the save returns.
        std::function<bool(const std::string& written)> finish;
        // The same when memory ran out once the script was replaced, after
        // telling the user.
        std::function<bool()> outOfMemoryOnceSaved;
        // Where the car script may be missing (a restore), the file whose
        // owner, group and permissions the new one takes then.
        std::filesystem::path modelWhenMissing;
    };
    // The save of the selected car, or nothing after telling the user why
    // it cannot be made: no car chosen, or wheel sizes that make no range.
    std::optional<SaveJob> saveJob(SaveScope scope);

    const CarEntry* selectedCar(std::string_view caption);
    bool readWheelSizes(int& smallest, int& largest);
    bool checkWritable(const CarEntry& car);
    bool readScriptToSave(const CarEntry& car, std::string& data);
    bool settingsToWrite(const CarEntry& car, SaveScope scope, std::string_view script, int smallest,
                         int largest, SaveSettings& settings, std::optional<Settings>& merged);
    void settingsToCheck(const CarEntry& car, SettingFlags& compared, SettingFlags& changed) const;
    bool checkReadBack(const CarEntry& car, const SaveSettings& asked, const SettingFlags& compared,
                       const SettingFlags& changed, std::string_view written, const RewriteNotes& notes,
                       bool remember);
    void reportSaveFailure(const CarEntry& car, const std::string& reason);
    std::string_view historyCaption() const { return m_previewing ? "Preview changes" : "History"; }

    bool findVersion(const CarEntry& car, const VersionName& name, VersionSide& side);
    bool readVersion(const CarEntry& car, const VersionName& name, VersionSide& side, std::string& bytes);

    static Settings settingsOf(const EditingControls& controls);
    static void show(const Settings& settings, EditingControls& controls);
    static Settings loadedOver(const Settings& start, std::string_view script, SettingFlags* given = nullptr);
    static std::string settingsText(std::string_view script);

    EditingControls& m_controls;
    // Swapped by a batch, which shows each car's messages together.
    MessagePresenter* m_messages;
    FileSystem& m_fileSystem;
    CarTable m_table;
    std::optional<Loaded> m_loaded;
    // While a preview runs, its messages say what a save would do.
    bool m_previewing = false;
};

} // namespace quendral
