#pragma once

#include <QString>

#include <filesystem>
#include <vector>

namespace quendral {

// What the drive chooser offers: the drive letters on Windows; elsewhere,
// where there are no drives, the mounted volumes a user keeps files on.
class DriveList
{
public:
    // The machine's drives, always including `current`: on Linux the root
    // first, then the volume of the home folder, then the others (removable
    // media among them) in order of their mount points.
    static std::vector<std::filesystem::path> drives(const std::filesystem::path& current);

    // Whether a volume mounted at `root` is one to offer: not one of the
    // system's own (/proc, /sys, /dev, /run, /snap, /boot), but removable
    // media below /run/media are.
    static bool offersVolume(const std::filesystem::path& root);

    // The drive, or mounted volume, that holds a folder.
    static std::filesystem::path driveOf(const std::filesystem::path& folder);

    // Puts volumes in the chooser's order: root, home's volume, the rest
    // sorted; duplicates dropped, `current` added when it is missing.
    static std::vector<std::filesystem::path> ordered(std::vector<std::filesystem::path> volumes,
                                                      const std::filesystem::path& homeVolume,
                                                      const std::filesystem::path& current);

    // How a drive stands in the chooser: its path, and its label if it has one.
    static QString displayName(const std::filesystem::path& drive);
};

} // namespace quendral
