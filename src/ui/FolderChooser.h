#pragma once

#include "catalogue/FolderListing.h"
#include "ui/ChangeSignal.h"

#include <filesystem>
#include <string>

namespace quendral {

// The folder chooser: a current folder and what that folder holds.
class FolderChooser
{
public:
    const std::filesystem::path& path() const { return m_path; }
    const FolderContents& contents() const { return m_contents; }
    const std::vector<std::filesystem::path>& subfolders() const { return m_contents.subfolders; }

    // Moves to another folder and emits the change. A folder that cannot be
    // read leaves the chooser where it was and returns false with the reason.
    bool setPath(const std::filesystem::path& path, std::string& error);

    // Shows a folder without reading it or emitting a change, as at start-up.
    void setInitialPath(const std::filesystem::path& path) { m_path = path; }

    ChangeSignal changed;

private:
    std::filesystem::path m_path;
    FolderContents m_contents;
};

} // namespace quendral
