#include "catalogue/FolderListing.h"

#include <algorithm>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

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

bool isHidden(const std::filesystem::directory_entry& entry, const std::string& name)
{
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(entry.path().c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES
        && (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0)
        return true;
#else
    (void)entry;
#endif
    return !name.empty() && name.front() == '.';
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

std::string fileNameOf(const std::filesystem::path& path)
{
    return path.filename().string();
}

bool listFolder(const std::filesystem::path& folder, FolderContents& contents, std::string& error)
{
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec) {
        error = ec.message();
        return false;
    }

    std::vector<std::string> files;
    std::vector<std::pair<std::string, std::filesystem::path>> subfolders;
    for (const std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            break;
        const std::filesystem::directory_entry& entry = *it;
        std::string name = fileNameOf(entry.path());
        if (isHidden(entry, name))
            continue;
        std::error_code typeError;
        if (entry.is_directory(typeError))
            subfolders.emplace_back(std::move(name), entry.path());
        else if (entry.is_regular_file(typeError))
            files.push_back(std::move(name));
    }
    if (ec) {
        error = ec.message();
        return false;
    }

    std::sort(files.begin(), files.end(), nameLess);
    std::sort(subfolders.begin(), subfolders.end(),
              [](const auto& a, const auto& b) { return nameLess(a.first, b.first); });

    contents.files = std::move(files);
    contents.subfolders.clear();
    contents.subfolders.reserve(subfolders.size());
    for (auto& subfolder : subfolders)
        contents.subfolders.push_back(std::move(subfolder.second));
    return true;
}

} // namespace quendral
