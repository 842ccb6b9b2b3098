#include "carscript/LocalReplacementFile.h"

#include "carscript/WindowsApi.h"

#include <io.h>
#include <system_error>

namespace quendral {

bool LocalReplacementFile::syncToDisk(std::FILE* file)
{
    return _commit(_fileno(file)) == 0;
}

// Windows cannot force a whole file system to the disk later: a staged
// file goes to the disk now.
bool LocalReplacementFile::finishStage(std::FILE* file)
{
    return syncToDisk(file);
}

bool LocalReplacementFile::confirmStaged(std::FILE*)
{
    return true;
}

// A rename does not replace an existing file on Windows: the replacing move
// does, in one step, and returns only once it is on the disk.
bool LocalReplacementFile::moveIntoPlace(const std::filesystem::path& temporary, const std::filesystem::path& target,
                                         std::string& error, bool)
{
    if (MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    error = std::system_category().message(static_cast<int>(GetLastError()));
    return false;
}

} // namespace quendral
