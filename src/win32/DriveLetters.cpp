#include "win32/DriveLetters.h"

#include <windows.h>

#include <algorithm>

namespace quendral::win32 {

std::vector<std::filesystem::path> DriveLetters::drives(const std::filesystem::path& current)
{
    std::vector<std::filesystem::path> drives;
    std::wstring roots(GetLogicalDriveStringsW(0, nullptr) + 1, L'\0');
    roots.resize(GetLogicalDriveStringsW(static_cast<DWORD>(roots.size()), roots.data()));
    for (const wchar_t* root = roots.c_str(); *root; root += wcslen(root) + 1) {
        switch (GetDriveTypeW(root)) {
        case DRIVE_FIXED:
        case DRIVE_REMOVABLE:
        case DRIVE_REMOTE:
        case DRIVE_CDROM:
        case DRIVE_RAMDISK: drives.emplace_back(root); break;
        default: break;  // no root folder, or none known
        }
    }
    if (!current.empty() && std::find(drives.begin(), drives.end(), current) == drives.end())
        drives.push_back(current);
    std::sort(drives.begin(), drives.end());
    return drives;
}

std::filesystem::path DriveLetters::driveOf(const std::filesystem::path& folder)
{
    return folder.root_path();
}

std::wstring DriveLetters::displayName(const std::filesystem::path& drive)
{
    wchar_t label[MAX_PATH + 1] = {};
    const std::wstring root = drive.native();
    // A drive without a disc in it has no label and is not waited for.
    const UINT errors = SetErrorMode(SEM_FAILCRITICALERRORS);
    const bool named = GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
    SetErrorMode(errors);
    return named && *label ? root + L" [" + label + L"]" : root;
}

} // namespace quendral::win32
