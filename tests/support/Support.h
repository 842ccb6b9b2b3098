#pragma once

// What the tests, the fuzz targets and the benchmarks share: temporary
// folders, byte I/O, a recording message presenter, the generator of car
// scripts and a snapshot of what the controls show.

#include "settings/CarSettings.h"
#include "controls/MessagePresenter.h"

#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace quendral {
class EditingControls;
}

namespace quendral::test {

struct ShownMessage
{
    std::string caption;
    std::string text;
    bool operator==(const ShownMessage&) const = default;
};

// Records the messages the user would have had to acknowledge.
struct RecordingMessages final : MessagePresenter
{
    void showError(std::string_view caption, std::string_view text) override
    {
        shown.push_back({std::string(caption), std::string(text)});
    }
    std::vector<std::string> captions() const;
    std::vector<ShownMessage> shown;
};

// A fresh folder below the system's temporary folder, removed with all it
// holds when the object goes.
class TemporaryFolder
{
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

std::string readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, std::string_view bytes);  // makes the folders
// Creates a car folder holding `script` as its car script.
std::filesystem::path makeCar(const std::filesystem::path& folder, std::string_view script);
// The names in a car's scripts folder, sorted.
std::vector<std::string> scriptsFolderEntries(const std::filesystem::path& car);
// What a car's scripts folder holds after a save, and after one that
// changed nothing.
inline const std::vector<std::string> LockAndBackup = {"._main_.cfg.lock", "_main_.cfg", "_main_backup.cfg"};
inline const std::vector<std::string> LockBackupAndHistory = {"._main_.cfg.lock", "_main_.cfg", "_main_backup.cfg",
                                                              "_main_history"};
// The bytes of every file in a car's history folder, temporary files
// included, sorted; empty when there is none.
std::vector<std::string> historyContents(const std::filesystem::path& car);
// Every entry below a folder, links not followed, with its kind and a
// file's bytes: two snapshots are equal when nothing was written there.
std::map<std::string, std::string> folderSnapshot(const std::filesystem::path& folder);

// A complete car script, CR LF line ends, with the given engine lines and
// the front and rear wheel lines' heights and flags.
std::string carScript(const std::vector<std::string>& engineLines, std::string_view frontHeight,
                      std::string_view frontFlags, std::string_view rearHeight, std::string_view rearFlags,
                      int smallest, int largest);
// A well-formed car script grown to at least `size` bytes by comment lines
// spread over the whole of it.
std::string largeCarScript(std::size_t size);

// A random well-formed car script: comment and comma lines (and `filler`,
// spread among them), mixed line ends, one camera line, an engine block and
// four wheel blocks with random heights, drive flags and wheel-size runs.
std::string randomCarScript(std::mt19937& random, const std::vector<std::string>& filler = {});
// Settings as the controls hold them when a save passes its checks.
CarSettings randomSettings(std::mt19937& random);

// What the controls show, as `quendral-car show` prints it.
std::string shownSettings(const EditingControls& controls);

// Another program's save of the car: loaded, V10 ticked, saved. False when
// it could not load or save.
bool saveWithV10Ticked(const std::filesystem::path& carFolder);

} // namespace quendral::test
