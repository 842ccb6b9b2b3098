#pragma once

#include "catalogue/CarTable.h"
#include "controls/ScopedConnection.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quendral {

class EditingControls;
class FileSystem;
class MessagePresenter;

// The racers folder chosen and the car picked from it, on the drive and
// folder choosers and the car list of the editing controls. A change of
// folder, whoever makes it, runs the racers folder scan, which lists the
// folder's cars and opens the editing frame on a racers folder.
class CarChoice
{
public:
    CarChoice(EditingControls& controls, MessagePresenter& messages, FileSystem& fileSystem);

    CarChoice(const CarChoice&) = delete;
    CarChoice& operator=(const CarChoice&) = delete;

    // Moves the folder chooser to the drive's folder. A drive that cannot be
    // read is reported and both choosers stay where they were.
    bool pickDrive(const std::filesystem::path& drive);

    // Moves the folder chooser to a folder, which runs the racers folder
    // scan. A folder that cannot be read is reported and nothing changes.
    bool openFolder(const std::filesystem::path& folder);

    // Shows the folder the program started in, on its drive among the
    // machine's drives, without a scan; the platform names the drives.
    void showStartFolder(const std::function<std::filesystem::path(const std::filesystem::path&)>& driveOf,
                         const std::function<std::vector<std::filesystem::path>(const std::filesystem::path&)>& drives);

    // Opens the folder named at start, relative to the process's folder.
    bool startIn(const std::filesystem::path& folder);

    // Reads the folder open again, for cars added or removed on disk; then
    // `found` is where the car named `picked` stands in the new list, while
    // it is there. False when no folder is open or it cannot be read.
    bool rescan(const std::string& picked, std::optional<int>& found);

    // Whether the folder open is a racers folder, whose cars can be edited.
    bool isRacersFolder() const;
    // The folder open, or the one the session started in.
    const std::filesystem::path& folder() const;

    // Makes one car folder the whole car list and selects it, as though it
    // had been picked from a racers folder holding only that car.
    void pickCarFolder(const std::filesystem::path& carFolder);

    // The car selected in the list; nothing when none is.
    const CarEntry* selected() const;
    // The same, telling the user under `caption` when none is.
    const CarEntry* selected(std::string_view caption, MessagePresenter& messages) const;

    const CarTable& carTable() const { return m_table; }

private:
    bool moveFolderChooser(const std::filesystem::path& folder, std::string& error);

    EditingControls& m_controls;
    MessagePresenter& m_messages;
    FileSystem& m_fileSystem;
    CarTable m_table;
    // Last: the scan stops before the table goes.
    ScopedConnection m_scan;
};

} // namespace quendral
