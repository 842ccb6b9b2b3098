#pragma once

#include "controls/FolderChooser.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quendral {

class FileSystem;

// Reads a folder. Returns false with the reason when it cannot be read.
// Entries that cannot be examined (a dangling link, a link loop) are left out.
bool listFolder(FileSystem& fileSystem, const std::filesystem::path& folder, FolderContents& contents,
                std::string& error);

// Name order of the listings: ASCII letters compared without case, ties
// broken by the bytes, so the order is total and the same on every machine.
bool nameLess(std::string_view a, std::string_view b);
bool equalsIgnoringCase(std::string_view a, std::string_view b);
std::string foldCase(std::string_view name);

// A folder path without trailing separators ("racers/" is "racers"); a root
// stays as it is.
std::filesystem::path withoutTrailingSeparator(std::filesystem::path folder);

// The name of a path's last element as bytes, for comparisons and display.
std::string fileNameOf(const std::filesystem::path& path);

// The path a name or a path given as bytes stands for: those of
// fileNameOf() and path::string(), or a command line's. They are UTF-8 on
// Windows, where std::filesystem::path would read them otherwise.
std::filesystem::path pathFromText(std::string_view bytes);

} // namespace quendral
