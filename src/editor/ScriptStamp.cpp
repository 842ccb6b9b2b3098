#include "editor/ScriptStamp.h"

#include "carscript/FileSystem.h"

#include <functional>

namespace quendral {

namespace {

std::uint64_t fingerprintOf(std::string_view bytes)
{
    // Compared only within one run of the program, so the library's own
    // hash, fast over megabytes, does.
    return static_cast<std::uint64_t>(std::hash<std::string_view>{}(bytes));
}

} // namespace

ScriptStamp ScriptStamp::of(std::string_view bytes, const std::filesystem::path& path, FileSystem& fileSystem)
{
    ScriptStamp stamp;
    stamp.size = bytes.size();
    stamp.fingerprint = fingerprintOf(bytes);
    FileStatus status;
    std::string noTime;
    if (fileSystem.status(path, status, noTime, Links::Followed) && status.type != FileType::Missing)
        stamp.time = status.modified;
    return stamp;
}

bool ScriptStamp::sameBytes(std::string_view bytes) const
{
    return size == bytes.size() && fingerprint == fingerprintOf(bytes);
}

} // namespace quendral
