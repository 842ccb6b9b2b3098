#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace quendral {

// A place on a form in twips, relative to the control's container.
struct TwipsRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The main window's form as drawn up, for every front end to build its own
// controls from: what each control is, where it sits and what it says.
class FormLayout
{
public:
    enum class Kind { Frame, ListBox, DriveBox, FolderList, FileList, TextBox, Button, Label, Slider, Option, Check, Picture };

    static constexpr int NoTabStop = -1;

    struct Control
    {
        const char* name;
        Kind kind;
        const char* container;  // empty: the form itself
        const char* caption;    // UTF-8, '&' before the mnemonic
        TwipsRect twips;
        int tabIndex;
    };

    // A menu entry; a shortcut is Ctrl with a letter, or a function key.
    struct MenuItem
    {
        const char* name;
        const char* menu;  // empty: the menu itself, on the menu bar
        const char* caption;
        char ctrlKey;      // 0: none
        int functionKey;   // 0: none
    };

    // The caption of the main window and of the help window.
    static constexpr char Title[] = "Quendral Car editor (V1.1b)";

    static constexpr TwipsRect FormSize{0, 0, 4920, 7275};

    // In the order the controls are made, containers before what they hold.
    static std::span<const Control> controls();
    // The controls that take the focus, in the order Tab moves through them.
    static std::span<const Control* const> tabOrder();
    static std::span<const MenuItem> menu();

    // The control of that name; every name the front ends use is in the table.
    static const Control& control(std::string_view name);
    static const MenuItem& menuItem(std::string_view name);
    // Whether the control lies in that container, or in one it holds.
    static bool isInside(const Control& control, std::string_view container);

    // Whether a menu table's shortcuts can all work: only commands have one,
    // a letter or F1-F12 but not both, and no two commands share one.
    static constexpr bool hasSoundShortcuts(std::span<const MenuItem> menu)
    {
        for (std::size_t i = 0; i < menu.size(); ++i) {
            const MenuItem& item = menu[i];
            const bool isCommand = *item.name && *item.menu;
            if ((item.ctrlKey || item.functionKey) && (!isCommand || (item.ctrlKey && item.functionKey)))
                return false;
            if ((item.ctrlKey && (item.ctrlKey < 'A' || item.ctrlKey > 'Z')) || item.functionKey < 0 || item.functionKey > 12)
                return false;
            for (std::size_t j = 0; j < i; ++j) {
                if ((item.ctrlKey && item.ctrlKey == menu[j].ctrlKey) || (item.functionKey && item.functionKey == menu[j].functionKey))
                    return false;
            }
        }
        return true;
    }
};

} // namespace quendral
