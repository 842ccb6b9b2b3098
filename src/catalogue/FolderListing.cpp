#include "catalogue/FolderListing.h"

#include "carscript/FileSystem.h"

#include <algorithm>

namespace quendral {

namespace {

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int compareIgnoringCase(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto ca = static_cast<unsigned char>(asciiLower(a[i]));
        const auto cb = static_cast<unsigned char>(asciiLower(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace

bool nameLess(std::string_view a, std::string_view b)
{
    const int byCase = compareIgnoringCase(a, b);
    return byCase != 0 ? byCase < 0 : a < b;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return compareIgnoringCase(a, b) == 0;
}

std::string foldCase(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded)
        c = asciiLower(c);
    return folded;
}

std::filesystem::path withoutTrailingSeparator(std::filesystem::path folder)
{
    while (!folder.has_filename() && folder.has_relative_path())
        folder = folder.parent_path();
    return folder;
}

std::string fileNameOf(const std::filesystem::path& path)
{
    return path.filename().string();
}

std::filesystem::path pathFromText(std::string_view bytes)
{
#ifdef _WIN32
    return std::filesystem::path(std::u8string(bytes.begin(), bytes.end()));
#else
    return std::filesystem::path(bytes);
#endif
}

namespace {

// The types of most entries come with their names: only a link is followed,
// to count as what it points to; one that cannot be followed is left out.
bool readEntries(FileSystem& fileSystem, const std::filesystem::path& folder, std::vector<std::string>& files,
                 std::vector<std::string>& subfolders, std::string& error)
{
    std::vector<FolderEntry> entries;
    if (!fileSystem.list(folder, entries, error))
        return false;
    for (FolderEntry& entry : entries) {
        if (entry.hidden || entry.name.front() == '.')
            continue;
        FileType type = entry.type;
        if (type == FileType::Link) {
            FileStatus target;
            std::string ignored;
            type = fileSystem.status(folder / pathFromText(entry.name), target, ignored, Links::Followed)
                ? target.type
                : FileType::Missing;
        }
        if (type == FileType::Folder)
            subfolders.push_back(std::move(entry.name));
        else if (type == FileType::Regular)
            files.push_back(std::move(entry.name));
    }
    return true;
}

} // namespace

bool listFolder(FileSystem& fileSystem, const std::filesystem::path& folder, FolderContents& contents,
                std::string& error)
{
    std::vector<std::string> files;
    std::vector<std::string> subfolders;
    if (!readEntries(fileSystem, folder, files, subfolders, error))
        return false;

    std::sort(files.begin(), files.end(), nameLess);
    std::sort(subfolders.begin(), subfolders.end(), nameLess);

    contents.files = std::move(files);
    contents.subfolders = std::move(subfolders);
    return true;
}

} // namespace quendral
