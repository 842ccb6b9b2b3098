#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quendral::win32 {

// Inside, text is bytes: UTF-8 for names and the program's own texts, the
// system's 8-bit code page for what comes from a car script. The windows
// take UTF-16 only.
std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view text);

// A car script's bytes as the system's code page reads them, and back.
std::wstring scriptWide(std::string_view bytes);
std::string scriptBytes(std::wstring_view text);

// A message or a name: UTF-8 where it is valid, else the code page's.
std::wstring shownWide(std::string_view bytes);

// The text a control holds.
std::wstring windowText(void* window);

} // namespace quendral::win32
