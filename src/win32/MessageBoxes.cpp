#include "win32/MessageBoxes.h"

#include "win32/WideText.h"

#include <windows.h>

namespace quendral::win32 {

void MessageBoxes::showError(std::string_view caption, std::string_view text)
{
    // The box breaks lines only at CR LF; the messages' own wording breaks
    // at a lone CR or LF too.
    std::wstring shown;
    const std::wstring given = shownWide(text);
    for (std::size_t i = 0; i < given.size(); ++i) {
        if (given[i] == L'\r' || given[i] == L'\n') {
            shown += L"\r\n";
            if (given[i] == L'\r' && i + 1 < given.size() && given[i + 1] == L'\n')
                ++i;
        } else {
            shown += given[i];
        }
    }
    MessageBoxW(static_cast<HWND>(m_owner), shown.c_str(), shownWide(caption).c_str(),
                MB_OK | MB_ICONERROR | (m_owner ? MB_APPLMODAL : MB_TASKMODAL));
}

} // namespace quendral::win32
