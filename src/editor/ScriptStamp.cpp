#include "editor/ScriptStamp.h"

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

ScriptStamp ScriptStamp::of(std::string_view bytes)
{
    return {bytes.size(), fingerprintOf(bytes)};
}

bool ScriptStamp::sameBytes(std::string_view bytes) const
{
    return size == bytes.size() && fingerprint == fingerprintOf(bytes);
}

} // namespace quendral
