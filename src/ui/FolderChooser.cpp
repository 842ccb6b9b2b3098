#include "ui/FolderChooser.h"

namespace quendral {

bool FolderChooser::setPath(const std::filesystem::path& path, std::string& error)
{
    FolderContents contents;
    if (!listFolder(path, contents, error))
        return false;
    m_path = path;
    m_contents = std::move(contents);
    changed.emit();
    return true;
}

} // namespace quendral
