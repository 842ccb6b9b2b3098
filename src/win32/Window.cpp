#include "win32/Window.h"

#include <commctrl.h>

namespace quendral::win32 {

namespace {

constexpr wchar_t NameProperty[] = L"QuendralControlName";

} // namespace

Window::~Window()
{
    if (isOpen()) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
    if (m_font)
        DeleteObject(m_font);
}

void Window::create(const wchar_t* className, const std::wstring& title, DWORD style, HWND owner, int clientWidth,
                    int clientHeight, UINT dpi, HMENU menu)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW known{};
    known.cbSize = sizeof known;
    if (!GetClassInfoExW(instance, className, &known)) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &Window::procedure;
        windowClass.hInstance = instance;
        windowClass.hIcon = LoadIconW(instance, L"EDITOR");
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = className;
        RegisterClassExW(&windowClass);
    }
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectExForDpi(&frame, style, menu != nullptr, 0, dpi);
    CreateWindowExW(0, className, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                    frame.bottom - frame.top, owner, menu, instance, this);
}

UINT Window::createOver(HWND owner, const wchar_t* className, const std::wstring& title, DWORD style,
                        int clientWidth, int clientHeight, const char* name)
{
    const UINT dpi = GetDpiForWindow(owner) ? GetDpiForWindow(owner) : USER_DEFAULT_SCREEN_DPI;
    create(className, title, style, owner, MulDiv(clientWidth, static_cast<int>(dpi), 96),
           MulDiv(clientHeight, static_cast<int>(dpi), 96), dpi);
    setName(m_window, name);
    return dpi;
}

void Window::layOutAboveButtons(int contentId, std::span<const int> leftButtons, std::span<const int> rightButtons,
                                ButtonRow row)
{
    RECT client{};
    GetClientRect(m_window, &client);
    const int margin = scaled(row.margin);
    const int buttonWidth = scaled(row.buttonWidth);
    const int buttonHeight = scaled(row.buttonHeight);
    const int top = client.bottom - margin - buttonHeight;
    MoveWindow(GetDlgItem(m_window, contentId), margin, margin, client.right - 2 * margin, top - 2 * margin, TRUE);
    int left = margin;
    for (const int id : leftButtons) {
        MoveWindow(GetDlgItem(m_window, id), left, top, buttonWidth, buttonHeight, TRUE);
        left += buttonWidth + margin;
    }
    left = client.right - static_cast<int>(rightButtons.size()) * (buttonWidth + margin);
    for (const int id : rightButtons) {
        MoveWindow(GetDlgItem(m_window, id), left, top, buttonWidth, buttonHeight, TRUE);
        left += buttonWidth + margin;
    }
}

HWND Window::addChild(const wchar_t* className, const std::wstring& text, DWORD style, RECT place, int id,
                      const char* name, DWORD extendedStyle)
{
    HWND control = CreateWindowExW(extendedStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, place.left,
                                   place.top, place.right - place.left, place.bottom - place.top, m_window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                   nullptr);
    setName(control, name);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(messageFont()), FALSE);
    return control;
}

HWND Window::child(std::string_view name) const
{
    struct Search
    {
        std::string_view name;
        HWND found;
    } search{name, nullptr};
    EnumChildWindows(
        m_window,
        [](HWND control, LPARAM data) -> BOOL {
            auto* search = reinterpret_cast<Search*>(data);
            if (nameOf(control) != search->name)
                return TRUE;
            search->found = control;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Window::setName(HWND control, const char* name)
{
    // The names are the table's own texts, which live as long as the program.
    SetPropW(control, NameProperty, const_cast<char*>(name));
}

std::string Window::nameOf(HWND control)
{
    const auto* name = static_cast<const char*>(GetPropW(control, NameProperty));
    return name ? name : "";
}

UINT Window::dpi() const
{
    const UINT dpi = m_window ? GetDpiForWindow(m_window) : 0;
    return dpi ? dpi : USER_DEFAULT_SCREEN_DPI;
}

HFONT Window::messageFont()
{
    if (!m_font || m_fontDpi != dpi()) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi());
        if (m_font)
            DeleteObject(m_font);
        m_font = CreateFontIndirectW(&metrics.lfMessageFont);
        m_fontDpi = dpi();
    }
    return m_font;
}

LRESULT Window::message(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Themed frames and labels draw the window's background behind them
    // through this; left to the default, it stays black.
    if (message == WM_PRINTCLIENT) {
        RECT client{};
        GetClientRect(m_window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return 0;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

LRESULT CALLBACK Window::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        self->m_window = nullptr;
        self->destroyed();
        return result;
    }
    return self->message(message, wParam, lParam);
}

void centreOnScreen(HWND window)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT frame{};
    GetWindowRect(window, &frame);
    const RECT& area = monitor.rcWork;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace quendral::win32
