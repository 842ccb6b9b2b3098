#include "carscript/LocalReplacementFile.h"

#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace quendral {

bool LocalReplacementFile::syncToDisk(std::FILE* file)
{
    return fsync(fileno(file)) == 0;
}

// Made durable later with its whole file system.
bool LocalReplacementFile::finishStage(std::FILE*)
{
    return true;
}

bool LocalReplacementFile::confirmStaged([[maybe_unused]] std::FILE* file)
{
#ifdef __linux__
    // A staged file was forced to the disk with its whole file system,
    // which reports only what failed while it ran: this reports what
    // failed to reach the disk of this file since it was opened, without
    // waiting for the disk again.
    return sync_file_range(fileno(file), 0, 0,
                           SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER)
        == 0;
#else
    return true;
#endif
}

bool LocalReplacementFile::moveIntoPlace(const std::filesystem::path& temporary, const std::filesystem::path& target,
                                         std::string& error, bool durable)
{
    std::error_code ec;
    std::filesystem::rename(temporary, target, ec);
    if (ec) {
        error = ec.message();
        return false;
    }
    // Makes the rename itself durable, unless the whole file system will
    // be; a folder that cannot be opened for this is no reason to fail a
    // save that has already taken place.
    if (!durable)
        return true;
    const std::filesystem::path folder = target.parent_path();
    const int descriptor = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor != -1) {
        fsync(descriptor);
        close(descriptor);
    }
    return true;
}

} // namespace quendral
