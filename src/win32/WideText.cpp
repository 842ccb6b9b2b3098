#include "win32/WideText.h"

#include <windows.h>

namespace quendral::win32 {

namespace {

std::wstring toWide(UINT codePage, DWORD flags, std::string_view bytes, bool& valid)
{
    valid = true;
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    const int count = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    if (count <= 0) {
        valid = false;
        return {};
    }
    std::wstring text(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), size, text.data(), count);
    return text;
}

std::string fromWide(UINT codePage, std::wstring_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int count = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(count > 0 ? count : 0), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, bytes.data(), count, nullptr, nullptr);
    return bytes;
}

} // namespace

std::wstring wide(std::string_view text)
{
    bool valid = false;
    return toWide(CP_UTF8, 0, text, valid);
}

std::string utf8(std::wstring_view text)
{
    return fromWide(CP_UTF8, text);
}

std::wstring scriptWide(std::string_view bytes)
{
    bool valid = false;
    return toWide(CP_ACP, 0, bytes, valid);
}

std::string scriptBytes(std::wstring_view text)
{
    return fromWide(CP_ACP, text);
}

std::wstring shownWide(std::string_view bytes)
{
    bool valid = false;
    std::wstring text = toWide(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, valid);
    return valid ? text : scriptWide(bytes);
}

std::wstring windowText(void* window)
{
    const auto handle = static_cast<HWND>(window);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(handle)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(handle, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace quendral::win32
