#pragma once

#include "controls/ChangeSignal.h"

#include <filesystem>
#include <vector>

namespace quendral {

// The drive chooser: the drives (or mounted volumes) of the machine and the
// one whose folder the folder chooser shows.
class DriveChooser
{
public:
    const std::vector<std::filesystem::path>& drives() const { return m_drives; }
    const std::filesystem::path& drive() const { return m_drive; }

    void setDrives(std::vector<std::filesystem::path> drives) { m_drives = std::move(drives); }

    void setDrive(const std::filesystem::path& drive)
    {
        m_drive = drive;
        changed.emit();
    }

    ChangeSignal changed;

private:
    std::vector<std::filesystem::path> m_drives;
    std::filesystem::path m_drive;
};

} // namespace quendral
