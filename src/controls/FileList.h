#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quendral {

// The hidden file list: the names of the files of one folder, in the
// folder chooser's order, hidden files left out.
class FileList
{
public:
    const std::filesystem::path& folder() const { return m_folder; }
    const std::vector<std::string>& names() const { return m_names; }
    int listCount() const { return static_cast<int>(m_names.size()); }

    void setFolder(std::filesystem::path folder, std::vector<std::string> names)
    {
        m_folder = std::move(folder);
        m_names = std::move(names);
    }

private:
    std::filesystem::path m_folder;
    std::vector<std::string> m_names;
};

} // namespace quendral
