#include "windows/DriveList.h"

#include "windows/ShownText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace quendral {

namespace {

bool isBrowsable(const QStorageInfo& volume)
{
    if (!volume.isValid() || !volume.isReady())
        return false;
    // Bind mounts of single files are no place to look for a folder.
    return QFileInfo(volume.rootPath()).isDir() && DriveList::offersVolume(pathOf(volume.rootPath()));
}

bool isAtOrBelow(const std::filesystem::path& path, const std::filesystem::path& folder)
{
    const auto [mismatch, ignored] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return mismatch == folder.end();
}

} // namespace

std::vector<std::filesystem::path> DriveList::drives(const std::filesystem::path& current)
{
    std::vector<std::filesystem::path> volumes;
#ifdef _WIN32
    for (const QFileInfo& drive : QDir::drives())
        volumes.push_back(pathOf(drive.absoluteFilePath()));
#else
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (isBrowsable(volume))
            volumes.push_back(pathOf(volume.rootPath()));
    }
#endif
    return ordered(std::move(volumes), driveOf(pathOf(QDir::homePath())),
                   current);
}

bool DriveList::offersVolume(const std::filesystem::path& root)
{
    // The kernel's and the system's own trees; removable media that the
    // desktop mounts below /run/media stay.
    if (isAtOrBelow(root, "/run/media"))
        return true;
    for (const char* system : {"/proc", "/sys", "/dev", "/run", "/snap", "/boot"}) {
        if (isAtOrBelow(root, system))
            return false;
    }
    return true;
}

std::filesystem::path DriveList::driveOf(const std::filesystem::path& folder)
{
    const QStorageInfo volume(shownPath(folder));
    if (!volume.isValid())
        return folder.root_path();
    return pathOf(volume.rootPath());
}

std::vector<std::filesystem::path> DriveList::ordered(std::vector<std::filesystem::path> volumes,
                                                      const std::filesystem::path& homeVolume,
                                                      const std::filesystem::path& current)
{
    if (!current.empty())
        volumes.push_back(current);
    std::sort(volumes.begin(), volumes.end());
    volumes.erase(std::unique(volumes.begin(), volumes.end()), volumes.end());

    // Root first, the home folder's volume next; the sort put the rest in
    // order of their mount points already.
    const auto rank = [&](const std::filesystem::path& volume) {
        if (volume == volume.root_path())
            return 0;
        return volume == homeVolume ? 1 : 2;
    };
    std::stable_sort(volumes.begin(), volumes.end(),
                     [&](const auto& a, const auto& b) { return rank(a) < rank(b); });
    return volumes;
}

QString DriveList::displayName(const std::filesystem::path& drive)
{
    const QString path = shownPath(drive);
    const QString name = QStorageInfo(path).name();
    return name.isEmpty() ? path : path + QLatin1String(" [") + name + QLatin1Char(']');
}

} // namespace quendral
