#pragma once

#include <string>
#include <vector>

namespace quendral {

// The hidden file list: the names of the files of one folder, in the
// folder chooser's order, hidden files left out.
class FileList
{
public:
    const std::vector<std::string>& names() const { return m_names; }

    void setNames(std::vector<std::string> names) { m_names = std::move(names); }

private:
    std::vector<std::string> m_names;
};

} // namespace quendral
