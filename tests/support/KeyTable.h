#pragma once

#include <vector>

namespace quendral::test {

// Key presses and what they do, the same in both windows. The car clicked first (-1: none), the control
// given the focus and the keys pressed, named as "Tab", "Shift+Tab", "Alt+S", "Ctrl+Space", "Enter" (the
// keypad's) or one letter or digit; then the control with the focus, the car chosen and the settings shown
// (and read back after a save), the caption of the one message shown, whether Save ran. Over the demo cars
// and a fourth that drives no axle. Another program may save falcon_gt with V10 ticked after as many keys
// as given; then what picking it afresh shows, and the window's notice of it where it has one.
struct KeyRow
{
    int car;
    const char* focus;
    std::vector<const char*> keys;
    const char *focusAfter, *shownAfter, *message = "";
    bool saves = false;
    int savedMeanwhile = -1;
    const char *reloaded = nullptr, *notice = nullptr;
};

inline const std::vector<KeyRow> SharedKeyRows = {
    {-1, "lstcars", {}, "lstcars", "-1 0000 000 0 0  "},
    {-1, "lstcars", {"Down"}, "lstcars", "0 1100 100 10 7 15 18"},
    {0, "lstcars", {"Down"}, "lstcars", "1 0111 010 3 3 16 20"},
    {0, "lstcars", {"V"}, "lstcars", "2 0010 001 17 20 17 21"},
    {1, "lstcars", {"Ctrl+Space"}, "lstcars", "1 0111 010 3 3 16 20"},
    {1, "Slider2", {"Tab"}, "Option2", "1 0111 010 3 3 16 20"},
    {1, "Check1", {"Shift+Tab"}, "Option2", "1 0111 010 3 3 16 20"},
    {1, "Slider2", {"Tab", "Down"}, "Option3", "1 0111 001 3 3 16 20"},
    {2, "Slider2", {"Tab", "Up"}, "Option2", "2 0010 010 17 20 17 21"},
    {3, "Slider2", {"Tab", "Tab"}, "Check1", "3 0000 000 10 7 15 17"},
    {3, "Slider2", {"Tab", "Down"}, "Option2", "3 0000 010 10 7 15 17"},
    {1, "Option1", {"Space"}, "Option1", "1 0111 100 3 3 16 20"},
    {0, "Check2", {"Space"}, "Check2", "0 1000 100 10 7 15 18"},
    {0, "Slider1", {"Right"}, "Slider1", "0 1100 100 11 7 15 18"},
    {0, "txtmaxw", {"2", "2"}, "txtmaxw", "0 1100 100 10 7 15 21", "Max size"},
    {0, "cmdSave", {"Space"}, "cmdSave", "0 1100 100 10 7 15 18", "", true},
    {0, "cmdSave", {"Return"}, "cmdSave", "0 1100 100 10 7 15 18", "", true},
    {0, "cmdSave", {"Enter"}, "cmdSave", "0 1100 100 10 7 15 18", "", true},
    {0, "Check4", {"Space", "Alt+S"}, "Check4", "0 1101 100 10 7 15 18", "", true},
    {0, "Slider2", {"Tab", "Down", "Alt+S"}, "Option2", "0 1100 010 10 7 15 18", "", true},
    {0, "txtminw", {"1", "2", "Alt+S"}, "txtminw", "0 1100 100 10 7 14 18", "Min size", true},
    // The question before Save over a script changed on disk: Cancel the default, Escape cancelling.
    {0, "Check3", {"Space", "Alt+S", "Escape"}, "Check3", "0 1110 100 10 7 15 18", "", true, 1,
     "0 1101 100 10 7 15 18", "falcon_gt changed on disk — Reload"},
    {0, "Check3", {"Space", "Alt+S", "Return"}, "Check3", "0 1110 100 10 7 15 18", "", true, 1,
     "0 1101 100 10 7 15 18", "falcon_gt changed on disk — Reload"},
    {0, "Check3", {"Space", "Alt+S", "Alt+R"}, "Check3", "0 1101 100 10 7 15 18", "", true, 1, nullptr,
     "Reloaded falcon_gt"},
    {0, "Check3", {"Space", "Alt+S", "Alt+A"}, "Check3", "0 1110 100 10 7 15 18", "", true, 1, nullptr,
     "Saved falcon_gt — 2 versions kept"},
};

} // namespace quendral::test
