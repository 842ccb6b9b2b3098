#include "editor/SaveObstacles.h"

#include "carscript/CarFiles.h"
#include "carscript/FileSystem.h"
#include "catalogue/CarTable.h"
#include "editor/SaveMessages.h"

namespace quendral {

namespace fs = std::filesystem;

std::vector<std::string> saveObstacles(const fs::path& carFolder, FileSystem& fileSystem)
{
    std::vector<std::string> obstacles;
    for (const auto& [path, what] : {std::pair{carScriptPath(carFolder), "its car script "},
                                     std::pair{backupScriptPath(carFolder), "its backup "}}) {
        bool readOnly = false;
        std::string error;
        if (!fileSystem.isReadOnly(path, readOnly, error))
            obstacles.push_back(what + path.string() + " cannot be examined (" + error + ")");
        else if (readOnly)
            obstacles.push_back(what + path.string() + " is read-only");
    }
    std::error_code error;
    const fs::path scripts = carScriptPath(carFolder).parent_path();
#ifndef _WIN32
    // Windows keeps a folder's read-only attribute for its own use; files
    // are made in such a folder all the same.
    const fs::file_status folder = fs::status(scripts, error);
    if (!error && fs::is_directory(folder) && (folder.permissions() & fs::perms::owner_write) == fs::perms::none)
        obstacles.push_back("its scripts folder " + scripts.string() + " is read-only");
#endif
    const fs::path history = historyFolderPath(carFolder);
    const fs::file_status historyStatus = fs::symlink_status(history, error);
    if (!error && fs::exists(historyStatus) && !fs::is_directory(historyStatus))
        obstacles.push_back("its history folder " + history.string() + " is not a folder");
    const fs::path lock = saveLockPath(carFolder);
    const fs::file_status lockStatus = fs::symlink_status(lock, error);
    if (!error && fs::exists(lockStatus) && !fs::is_regular_file(lockStatus))
        obstacles.push_back("its save lock " + lock.string() + " is not a file");
    return obstacles;
}

bool checkWritable(const CarEntry& car, FileSystem& fileSystem, const SaveMessages& told)
{
    const std::vector<std::string> obstacles = saveObstacles(car.folder, fileSystem);
    if (!obstacles.empty())
        told.notSaved(car.name, obstacles.front());
    return obstacles.empty();
}

bool readScriptToSave(const CarEntry& car, FileSystem& fileSystem, std::string& data, const SaveMessages& told)
{
    const fs::path script = carScriptPath(car.folder);
    std::string error;
    if (fileSystem.readFile(script, data, error, LargestCarScript))
        return true;
    told.notSaved(car.name, "its car script " + script.string() + " cannot be read (" + error + ")");
    return false;
}

} // namespace quendral
