#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace quendral {

class FileSystem;

// What a car script held when it was read: its size, its time and a
// fingerprint of its bytes. Two stamps with the same size and fingerprint
// stand for the same bytes; the time alone changes when a program writes
// a script anew without changing it, which loses nothing.
struct ScriptStamp
{
    std::uintmax_t size = 0;
    std::optional<std::filesystem::file_time_type> time;
    std::uint64_t fingerprint = 0;

    // The stamp of bytes read from `path` (whose time it takes, if it can).
    static ScriptStamp of(std::string_view bytes, const std::filesystem::path& path, FileSystem& fileSystem);

    bool sameBytes(const ScriptStamp& other) const
    {
        return size == other.size && fingerprint == other.fingerprint;
    }
    bool sameBytes(std::string_view bytes) const;
};

} // namespace quendral
