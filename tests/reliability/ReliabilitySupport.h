#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace quendral::test {

// The names in a car's scripts folder, sorted; empty when it cannot be read.
std::vector<std::string> scriptsFolderEntries(const std::filesystem::path& carFolder);

// A well-formed car script grown to at least `size` bytes with comment and
// setting lines the editor does not recognise, spread over the whole script
// so that a save spends its time on every part of it.
std::string largeCarScript(std::size_t size);

// The bytes of a file, or nothing when it is missing; tells a missing file
// from an empty one.
bool fileHolds(const std::filesystem::path& path, std::string& bytes);

} // namespace quendral::test
