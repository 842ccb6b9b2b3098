#pragma once

#include <cstdint>
#include <string_view>

namespace quendral {

// What a car script held when it was read: its size and a fingerprint of
// its bytes. Two stamps with the same size and fingerprint stand for the
// same bytes. A file's time is no part of it: a program that writes a
// script anew without changing it loses nothing.
struct ScriptStamp
{
    std::uintmax_t size = 0;
    std::uint64_t fingerprint = 0;

    static ScriptStamp of(std::string_view bytes);

    bool sameBytes(const ScriptStamp& other) const
    {
        return size == other.size && fingerprint == other.fingerprint;
    }
    bool sameBytes(std::string_view bytes) const;
};

} // namespace quendral
