#include "editor/ScriptStamp.h"

#include <functional>
#include <system_error>

namespace quendral {

namespace {

std::uint64_t fingerprintOf(std::string_view bytes)
{
    // Compared only within one run of the program, so the library's own
    // hash, fast over megabytes, does.
    return static_cast<std::uint64_t>(std::hash<std::string_view>{}(bytes));
}

} // namespace

ScriptStamp ScriptStamp::of(std::string_view bytes, const std::filesystem::path& path)
{
    ScriptStamp stamp;
    stamp.size = bytes.size();
    stamp.fingerprint = fingerprintOf(bytes);
    std::error_code noTime;
    const auto time = std::filesystem::last_write_time(path, noTime);
    if (!noTime)
        stamp.time = time;
    return stamp;
}

bool ScriptStamp::sameBytes(std::string_view bytes) const
{
    return size == bytes.size() && fingerprint == fingerprintOf(bytes);
}

} // namespace quendral
