#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quendral::win32 {

// The drive chooser's entries: the drive letters in use, with their labels.
class DriveLetters
{
public:
    // "C:\", "D:\", ... as the system lists them, fixed, removable, network
    // and optical drives; `current` too when it is a drive of its own.
    static std::vector<std::filesystem::path> drives(const std::filesystem::path& current);
    // "C:\" for any folder on C:, the share's root for a network path.
    static std::filesystem::path driveOf(const std::filesystem::path& folder);
    // "C:\ [System]", or the bare root when the volume has no label.
    static std::wstring displayName(const std::filesystem::path& drive);
};

} // namespace quendral::win32
