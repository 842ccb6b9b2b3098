#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quendral {

class FileSystem;

// What a save of the car in `carFolder` refuses before it writes a byte,
// each a reason fit to follow "was not saved: ". The save reads this list
// under its lock and `check` reads it too, so that whatever a save refuses
// is a problem `check` names. Whoever saves, a file or folder its owner may
// not write is refused.
std::vector<std::string> saveObstacles(const std::filesystem::path& carFolder, FileSystem& fileSystem);

} // namespace quendral
