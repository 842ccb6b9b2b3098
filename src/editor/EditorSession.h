#pragma once

#include "editor/CarChoice.h"
#include "editor/CarVersions.h"
#include "editor/SaveJob.h"
#include "editor/ScriptStamp.h"
#include "settings/CarSettings.h"

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
struct SaveRequest;

// One editing session: the racers folder chosen, the car picked from it and
// what its script gave when it was loaded, over the editing controls that
// show the car's settings. Behind the main window's events and the
// command-line tool's commands: choosing a drive or folder (which scans
// it), picking a car (which loads it), saving it, and its earlier versions.
class EditorSession
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

    // Over the window's controls, which show the car.
    EditorSession(EditingControls& controls, MessagePresenter& messages, FileSystem& fileSystem);
    // Over controls of its own, for a session without a window.
    EditorSession(MessagePresenter& messages, FileSystem& fileSystem);
    ~EditorSession();

    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    // The racers folder and the car picked from it, as CarChoice chooses them.
    bool pickDrive(const std::filesystem::path& drive) { return m_choice.pickDrive(drive); }
    bool openFolder(const std::filesystem::path& folder) { return m_choice.openFolder(folder); }
    void showStartFolder(const std::function<std::filesystem::path(const std::filesystem::path&)>& driveOf,
                         const std::function<std::vector<std::filesystem::path>(const std::filesystem::path&)>& drives)
    {
        m_choice.showStartFolder(driveOf, drives);
    }
    bool startIn(const std::filesystem::path& folder) { return m_choice.startIn(folder); }
    bool rescan(const std::string& picked, std::optional<int>& found) { return m_choice.rescan(picked, found); }
    bool isRacersFolder() const { return m_choice.isRacersFolder(); }
    const std::filesystem::path& folder() const { return m_choice.folder(); }
    void pickCarFolder(const std::filesystem::path& carFolder) { m_choice.pickCarFolder(carFolder); }
    const CarTable& carTable() const { return m_choice.carTable(); }

    // Reads the selected car's settings and shows them. Returns false, after
    // telling the user, when its script cannot be read (too large, in
    // UTF-16, or more than memory holds), and false without a message when
    // no car is selected.
    bool loadSelectedCar();

    // The settings the selected car's script gave when it was loaded or
    // last saved, as shown then; nothing when it is not the car loaded.
    std::optional<CarSettings> loaded() const;

    // The settings shown now.
    CarSettings shown() const;

    // Shows `wanted`, counting those `changed` as changed since the load
    // even where they show the value loaded: a save must then write them,
    // or say that it could not.
    void want(const CarSettings& wanted, const SettingFlags& changed);

    // Checks that a car is chosen and its wheel sizes; then, holding the
    // car's save lock, reads its car script afresh, backs it up and writes
    // it anew from the settings shown (`scope` says which), and reads back
    // what it wrote. Returns true when the car was saved with every setting.
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

    // The save of the selected car, for a SaveExecutor to carry out with
    // others; nothing after telling the user through `messages` why it
    // cannot be made: no car chosen, or wheel sizes that make no range.
    std::optional<SaveJob> saveJob(SaveScope scope, MessagePresenter& messages);

    // The presenter the session tells the user through.
    MessagePresenter& messages() const { return m_messages; }

    // What save(scope) would write now, as `written`, beside the car script
    // as it is now, as `current`; nothing is written and no lock taken. The
    // user is told what the save would tell, and the result is what the
    // save would return. `written` stays empty when the save would write
    // nothing.
    bool previewSave(SaveScope scope, std::string& current, std::optional<std::string>& written);

    // The stamp of the script last loaded or saved, while the selected car
    // is the one loaded.
    std::optional<ScriptStamp> loadedStamp() const;

    // The selected car's script as it is now on disk; nothing when it
    // cannot be read.
    std::optional<ScriptStamp> stampOnDisk() const;

    // Whether the controls show other settings than the car's script gave
    // when it was last loaded or saved.
    bool editedSinceLoad() const;

    // Whether the selected car is the one last loaded or saved.
    bool carLoaded() const;

    // The selected car's versions, as CarVersions lists, compares and
    // restores them; false, after telling the user, when no car is selected.
    // A restore does not load the car anew.
    bool listVersions(std::vector<VersionListing>& versions);
    bool compare(const VersionName& from, const VersionName& to, Comparison& comparison);
    // The same up to the diff: both versions named in `comparison` and
    // their bytes, for a caller that diffs them away from the window.
    bool readCompared(const VersionName& from, const VersionName& to, Comparison& comparison,
                      std::array<std::string, 2>& bytes);
    bool restore(const VersionName& version);

private:
    // The settings of the car last loaded or saved, as its script held them.
    struct Loaded
    {
        std::filesystem::path carFolder;
        CarSettings settings;
        ScriptStamp stamp;
        // By Setting: which the script gave, and which were marked changed.
        SettingFlags given{};
        SettingFlags marked{};
    };

    // Counts a setting as changed since the car was loaded though its
    // control shows the value loaded: the car was asked for that value.
    void markChanged(Setting setting);

    // By Setting, those changed since the selected car was loaded: whose
    // controls show another value than loaded, and those marked. A save
    // checks on reading back only these and those its script gave when
    // loaded, and tells when it cannot write a ride height changed here.
    SettingFlags changedSettings() const;

    // The selected car, told about under the caption of a preview or of
    // the history, as the versions compared say.
    const CarEntry* versionsCar(const VersionName& from, const VersionName& to);
    CarVersions::SavePreview savePreview();
    SaveRequest requestFor(const CarEntry& car, SaveScope scope) const;

    std::unique_ptr<EditingControls> m_ownControls;
    EditingControls& m_controls;
    MessagePresenter& m_messages;
    FileSystem& m_fileSystem;
    CarChoice m_choice;
    std::optional<Loaded> m_loaded;
};

} // namespace quendral
