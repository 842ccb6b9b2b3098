#pragma once

#include <filesystem>

namespace quendral {

// The files of a car below its car folder.
std::filesystem::path carScriptPath(const std::filesystem::path& carFolder);
std::filesystem::path backupScriptPath(const std::filesystem::path& carFolder);

} // namespace quendral
