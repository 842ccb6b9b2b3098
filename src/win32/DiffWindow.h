#pragma once

#include "editor/CarVersions.h"
#include "win32/Window.h"

#include <string>

namespace quendral::win32 {

// The lines that differ between two versions of a car script, as a unified
// diff in a read-only text, with a Close button.
class DiffWindow final : public Window
{
public:
    DiffWindow(HWND owner, const char* name, const std::wstring& title, const Comparison& comparison);
    ~DiffWindow() override;

    // The text shown, lines ended by CR LF.
    static std::wstring diffText(const Comparison& comparison);

protected:
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void layOut();

    HFONT m_fixed = nullptr;
};

} // namespace quendral::win32
