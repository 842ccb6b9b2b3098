#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quendral::test {

// The names in a car's scripts folder, sorted; empty when it cannot be read.
std::vector<std::string> scriptsFolderEntries(const std::filesystem::path& carFolder);

// The bytes of every file in a car's history folder, temporary files
// included, sorted; empty when there is none.
std::vector<std::string> historyContents(const std::filesystem::path& carFolder);

// A well-formed car script grown to at least `size` bytes with comment and
// setting lines the editor does not recognise, spread over the whole script
// so that a save spends its time on every part of it.
std::string largeCarScript(std::size_t size);

// The bytes of a file, or nothing when it is missing; tells a missing file
// from an empty one.
bool fileHolds(const std::filesystem::path& path, std::string& bytes);

} // namespace quendral::test

namespace quendral::test {

// Every entry below a folder, links not followed, with its kind and, for a
// file, its bytes: two snapshots are equal when nothing was written there.
std::map<std::string, std::string> folderSnapshot(const std::filesystem::path& folder);

// What the save makes of a script in which it recognises nothing: every
// line as it stood, ended by CR LF.
std::string withCrLfLineEnds(std::string_view script);

} // namespace quendral::test
