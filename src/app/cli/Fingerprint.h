#pragma once

// The fingerprint an exported table keeps of each car's script, to see at
// import whether the script changed since: "s" and the first 12 hex digits
// of the script's SHA-256. No spreadsheet reads it as a number.

#include <string>
#include <string_view>

namespace quendral::cli {

std::string scriptFingerprint(std::string_view script);

} // namespace quendral::cli
