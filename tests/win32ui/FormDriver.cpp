#include "FormDriver.h"

#include "win32/WideText.h"

#include <commctrl.h>

#include <array>

namespace quendral::test {

namespace {

struct Key
{
    UINT virtualKey;
    wchar_t character;
    BYTE modifier;  // 0, VK_SHIFT, VK_CONTROL or VK_MENU
    bool extended;
};

Key keyOf(std::string_view name)
{
    struct Named
    {
        std::string_view name;
        Key key;
    };
    static constexpr Named Keys[] = {
        {"Tab", {VK_TAB, 0, 0, false}},           {"Shift+Tab", {VK_TAB, 0, VK_SHIFT, false}},
        {"Down", {VK_DOWN, 0, 0, true}},          {"Up", {VK_UP, 0, 0, true}},
        {"Right", {VK_RIGHT, 0, 0, true}},        {"Left", {VK_LEFT, 0, 0, true}},
        {"Space", {VK_SPACE, L' ', 0, false}},    {"Ctrl+Space", {VK_SPACE, L' ', VK_CONTROL, false}},
        {"Return", {VK_RETURN, L'\r', 0, false}}, {"Enter", {VK_RETURN, L'\r', 0, true}},
        {"Escape", {VK_ESCAPE, 0x1B, 0, false}},  {"F1", {VK_F1, 0, 0, false}},
    };
    for (const Named& named : Keys) {
        if (named.name == name)
            return named.key;
    }
    if (name.size() == 5 && name.substr(0, 4) == "Alt+")
        return {static_cast<UINT>(name[4]), static_cast<wchar_t>(name[4] - 'A' + 'a'), VK_MENU, false};
    // A letter or digit, or Ctrl with a letter, which makes no character.
    if (name.size() == 6 && name.substr(0, 5) == "Ctrl+")
        return {static_cast<UINT>(name[5]), 0, VK_CONTROL, false};
    const char c = name.empty() ? '\0' : name[0];
    const bool letter = c >= 'A' && c <= 'Z';
    return {static_cast<UINT>(c), static_cast<wchar_t>(letter ? c - 'A' + 'a' : c), 0, false};
}

} // namespace

HWND FormDriver::control(const char* name) const
{
    return m_form.child(name);
}

void FormDriver::pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!m_form.translate(message))
            DispatchMessageW(&message);
    }
}

void FormDriver::press(std::string_view name)
{
    const Key key = keyOf(name);
    std::array<BYTE, 256> state{};
    if (key.modifier)
        state[key.modifier] = 0x80;
    SetKeyboardState(state.data());
    // Alt makes them system keys, with the context bit set.
    const bool alt = key.modifier == VK_MENU;
    const LPARAM bits = 1 | (key.extended ? 1 << 24 : 0) | (alt ? 1 << 29 : 0);
    // As the program's loop: what the form does not use up goes to the
    // control, with the character TranslateMessage would make of the key.
    const auto deliver = [this](UINT message, WPARAM wParam, LPARAM lParam) {
        MSG sent{GetFocus(), message, wParam, lParam, 0, {}};
        const bool used = m_form.translate(sent);
        if (!used)
            DispatchMessageW(&sent);
        pump();
        return used;
    };
    if (!deliver(alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key.virtualKey, bits) && key.character)
        deliver(alt ? WM_SYSCHAR : WM_CHAR, key.character, bits);
    deliver(alt ? WM_SYSKEYUP : WM_KEYUP, key.virtualKey, bits | (1u << 30) | (1u << 31));
    state.fill(0);
    SetKeyboardState(state.data());
}

void FormDriver::focus(const char* name)
{
    SetFocus(control(name));
    if (win32::Window::nameOf(control(name)).rfind("txt", 0) == 0)
        SendMessageW(control(name), EM_SETSEL, 0, -1);
    pump();
}

void FormDriver::pickCar(int row)
{
    HWND list = control("lstcars");
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    pump();
}

void FormDriver::click(const char* name)
{
    SendMessageW(control(name), BM_CLICK, 0, 0);
    pump();
}

void FormDriver::slide(const char* name, int position)
{
    HWND slider = control(name);
    SendMessageW(slider, TBM_SETPOS, TRUE, position);
    SendMessageW(GetParent(slider), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(slider));
    pump();
}

void FormDriver::type(const char* name, const char* text)
{
    // A change of the text notifies the form as typing does.
    SetWindowTextW(control(name), win32::wide(text).c_str());
    pump();
}

std::string FormDriver::shown() const
{
    const auto row = static_cast<int>(SendMessageW(control("lstcars"), LB_GETCURSEL, 0, 0));
    std::string text = std::to_string(row) + ' ';
    for (const char* name : {"Check1", "Check2", "Check3", "Check4", "", "Option1", "Option2", "Option3"})
        text += !*name ? " " : SendMessageW(control(name), BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0";
    for (const char* name : {"Slider1", "Slider2"})
        text += ' ' + std::to_string(SendMessageW(control(name), TBM_GETPOS, 0, 0));
    for (const char* name : {"txtminw", "txtmaxw"})
        text += ' ' + win32::utf8(win32::windowText(control(name)));
    return text;
}

} // namespace quendral::test
