#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <string_view>

namespace quendral::win32 {

// The row of buttons along the bottom of a dialog, in pixels at 96 DPI.
struct ButtonRow
{
    int margin;
    int buttonWidth;
    int buttonHeight;
};

// The row of the preview and history windows.
inline constexpr ButtonRow DialogButtons{8, 88, 26};

// A top-level window of this program: its messages go to handle(). The
// window is destroyed with the object, if it still stands.
class Window
{
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND handle() const { return m_window; }
    bool isOpen() const { return m_window && IsWindow(m_window); }

    // The child of this window that carries the name, or nullptr.
    HWND child(std::string_view name) const;

    // Names a control, for tests and tools to find it by.
    static void setName(HWND control, const char* name);
    static std::string nameOf(HWND control);

    // The system's message font at the window's DPI; the window owns it.
    HFONT messageFont();

protected:
    // Makes the window; `clientWidth` and `clientHeight` in pixels at `dpi`.
    void create(const wchar_t* className, const std::wstring& title, DWORD style, HWND owner, int clientWidth,
                int clientHeight, UINT dpi, HMENU menu = nullptr);
    // Makes a window over `owner`, sized in pixels at 96 DPI for the owner's
    // DPI, and names it; returns that DPI.
    UINT createOver(HWND owner, const wchar_t* className, const std::wstring& title, DWORD style, int clientWidth,
                    int clientHeight, const char* name);
    HWND addChild(const wchar_t* className, const std::wstring& text, DWORD style, RECT place, int id,
                  const char* name, DWORD extendedStyle = 0);
    UINT dpi() const;
    int scaled(int pixels) const { return MulDiv(pixels, static_cast<int>(dpi()), USER_DEFAULT_SCREEN_DPI); }

    // Fills the client area, inside the row's margin, with one control above
    // the row: `leftButtons` from the left edge, `rightButtons` up to the
    // right one.
    void layOutAboveButtons(int contentId, std::span<const int> leftButtons, std::span<const int> rightButtons,
                            ButtonRow row);

    virtual LRESULT message(UINT message, WPARAM wParam, LPARAM lParam);
    // The window is gone; the object may still be asked about it.
    virtual void destroyed() {}

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    HFONT m_font = nullptr;
    UINT m_fontDpi = 0;
};

// Centres a window on the monitor it is on, or the main one.
void centreOnScreen(HWND window);

} // namespace quendral::win32
