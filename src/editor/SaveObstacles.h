#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quendral {

class FileSystem;
class SaveMessages;
struct CarEntry;

// What a save of the car in `carFolder` refuses before it writes a byte,
// each a reason fit to follow "was not saved: ". The save reads this list
// under its lock and `check` reads it too, so that whatever a save refuses
// is a problem `check` names. Whoever saves, a file or folder its owner may
// not write is refused.
std::vector<std::string> saveObstacles(const std::filesystem::path& carFolder, FileSystem& fileSystem);

// Whether the car has no save obstacle; false after telling the first.
bool checkWritable(const CarEntry& car, FileSystem& fileSystem, const SaveMessages& told);

// Reads the car script a save replaces; false after telling why not.
bool readScriptToSave(const CarEntry& car, FileSystem& fileSystem, std::string& data, const SaveMessages& told);

} // namespace quendral
