#pragma once

#include "win32/MainForm.h"

#include <string>
#include <string_view>

namespace quendral::test {

// Drives the Win32 main window with the messages the user's mouse and keys
// would send, through the program's own message loop.
class FormDriver
{
public:
    explicit FormDriver(win32::MainForm& form) : m_form(form) {}

    HWND control(const char* name) const;
    // Runs the messages waiting, as the program's loop does.
    void pump();
    // A key as named in the key tables: "Tab", "Shift+Tab", "Down", "Alt+S",
    // "Ctrl+Space", "Return", "Enter" (the keypad's), "Space", or one
    // letter or digit; pressed and released on the control with the focus.
    void press(std::string_view key);
    // Gives a control the focus as Tab does: a text box's text is selected.
    void focus(const char* name);
    void pickCar(int row);               // a list selection with its notification
    void click(const char* name);        // BM_CLICK
    void slide(const char* name, int position);
    void type(const char* name, const char* text);  // the text box's text replaced
    // "car I4V6V8V10 FrontRearAll front rear min max" as the controls show them.
    std::string shown() const;

private:
    win32::MainForm& m_form;
};

} // namespace quendral::test
