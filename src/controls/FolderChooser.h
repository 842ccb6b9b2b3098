#pragma once

#include "controls/ChangeSignal.h"

#include <filesystem>
#include <string>
#include <vector>

namespace quendral {

// What a folder holds, as the folder chooser and the hidden file list show
// it: hidden entries are left out, and both lists are in ascending order of
// name, ignoring case, so that a file and a folder of the same name stand at
// comparable places.
struct FolderContents
{
    std::vector<std::string> files;       // names without folder
    std::vector<std::string> subfolders;  // names without folder
};

// The folder chooser: a current folder and what that folder holds.
class FolderChooser
{
public:
    const std::filesystem::path& path() const { return m_path; }
    const FolderContents& contents() const { return m_contents; }
    const std::vector<std::string>& subfolders() const { return m_contents.subfolders; }

    // Moves to another folder, already read, and emits the change.
    void setFolder(std::filesystem::path path, FolderContents contents)
    {
        m_path = std::move(path);
        m_contents = std::move(contents);
        changed.emit();
    }

    // Shows a folder without reading it or emitting a change, as at start-up.
    void setInitialPath(const std::filesystem::path& path) { m_path = path; }

    ChangeSignal changed;

private:
    std::filesystem::path m_path;
    FolderContents m_contents;
};

} // namespace quendral
