#pragma once

#include "win32/Window.h"

namespace quendral::win32 {

// The help window: the program's name, how it works, and the logo. Escape
// closes it, as the close button does; closed, it is gone for good.
class HelpForm final : public Window
{
public:
    explicit HelpForm(HWND owner);
    ~HelpForm() override;

protected:
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HFONT arial(int hundredthsOfAPoint);

    HFONT m_fonts[4] = {};
    int m_fontCount = 0;
    HBITMAP m_logo = nullptr;
};

} // namespace quendral::win32
