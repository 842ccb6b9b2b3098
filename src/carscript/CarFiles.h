#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace quendral {

// The files of a car below its car folder.
std::filesystem::path carScriptPath(const std::filesystem::path& carFolder);
std::filesystem::path backupScriptPath(const std::filesystem::path& carFolder);
// The folder of the car script's earlier versions, beside it.
std::filesystem::path historyFolderPath(const std::filesystem::path& carFolder);

// The file that saves of the car lock, hidden beside its car script. It is
// left in place: removing it while another save waits for it would let a
// third save lock a new file of the same name at the same time.
std::filesystem::path saveLockPath(const std::filesystem::path& carFolder);

// The largest car script the editor reads. A car script is a few kilobytes;
// anything near this is no car script, and reading it could exhaust memory.
inline constexpr std::uintmax_t LargestCarScript = 256u << 20;

// Whether a car script is text in UTF-16: it starts with a byte-order mark
// of UTF-16, or every other byte of it is NUL. The editor works on bytes,
// and would tear such text apart.
bool isUtf16Text(std::string_view script);

} // namespace quendral
