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
    // What stands at a path; Missing when that cannot be told.
    const auto statusOf = [&](const fs::path& path, Links links) {
        FileStatus status;
        std::string ignored;
        return fileSystem.status(path, status, ignored, links) ? status : FileStatus{};
    };
    const fs::path scripts = carScriptPath(carFolder).parent_path();
    // Windows keeps a folder's read-only attribute for its own use; files
    // are made in such a folder all the same, and its status says so.
    const FileStatus folder = statusOf(scripts, Links::Followed);
    if (folder.type == FileType::Folder && folder.readOnly)
        obstacles.push_back("its scripts folder " + scripts.string() + " is read-only");
    const fs::path history = historyFolderPath(carFolder);
    const FileType historyType = statusOf(history, Links::NotFollowed).type;
    if (historyType != FileType::Missing && historyType != FileType::Folder)
        obstacles.push_back("its history folder " + history.string() + " is not a folder");
    const fs::path lock = saveLockPath(carFolder);
    const FileType lockType = statusOf(lock, Links::NotFollowed).type;
    if (lockType != FileType::Missing && lockType != FileType::Regular)
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
