#include "controls/FormLayout.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace quendral {

namespace {

using K = FormLayout::Kind;
constexpr int No = FormLayout::NoTabStop;

constexpr FormLayout::Control Controls[] = {
    {"Frame1", K::Frame, "", "Cars", {360, 120, 1695, 2535}, No},
    {"lstcars", K::ListBox, "Frame1", "", {120, 240, 1455, 2205}, 0},
    {"Frame2", K::Frame, "", "Quendral location", {2160, 120, 2295, 2535}, No},
    {"Drive1", K::DriveBox, "Frame2", "", {120, 240, 2055, 315}, 1},
    {"Dir1", K::FolderList, "Frame2", "", {120, 720, 2055, 1665}, 2},
    {"File1", K::FileList, "", "", {4200, 2280, 135, 285}, No},
    {"Frame3", K::Frame, "", "", {360, 2760, 4095, 2295}, No},
    {"Frame4", K::Frame, "Frame3", "Wheels:", {120, 120, 2175, 615}, No},
    {"Label1", K::Label, "Frame4", "Min.:", {120, 240, 345, 195}, No},
    {"Label2", K::Label, "Frame4", "Max.:", {1080, 240, 390, 195}, No},
    {"txtminw", K::TextBox, "Frame4", "", {480, 240, 495, 285}, 3},
    {"txtmaxw", K::TextBox, "Frame4", "", {1560, 240, 495, 285}, 4},
    {"cmdSave", K::Button, "", "&Save file", {1560, 5160, 1575, 255}, 5},
    {"Frame5", K::Frame, "Frame3", "Vehicel height", {120, 840, 2175, 1335}, No},
    {"Label3", K::Label, "Frame5", "Front:", {120, 240, 405, 195}, No},
    {"Label4", K::Label, "Frame5", "Back:", {120, 720, 420, 195}, No},
    {"Slider1", K::Slider, "Frame5", "", {720, 240, 1335, 255}, 6},
    {"Slider2", K::Slider, "Frame5", "", {720, 720, 1335, 255}, 7},
    {"Frame6", K::Frame, "Frame3", "Drive system", {2400, 120, 1575, 1095}, No},
    {"Option1", K::Option, "Frame6", "Front", {120, 240, 1335, 255}, 8},
    {"Option2", K::Option, "Frame6", "Rear", {120, 480, 1335, 255}, 9},
    {"Option3", K::Option, "Frame6", "All", {120, 720, 1335, 255}, 10},
    {"Label5", K::Label, "", "Made by modders for modders - drive it, tune it, share it", {120, 5520, 4695, 195}, No},
    {"Frame7", K::Frame, "Frame3", "V's", {2400, 1200, 1575, 975}, No},
    {"Check1", K::Check, "Frame7", "I4", {120, 240, 495, 195}, 11},
    {"Check2", K::Check, "Frame7", "V6", {120, 480, 615, 255}, 12},
    {"Check3", K::Check, "Frame7", "V8", {720, 240, 615, 255}, 13},
    {"Check4", K::Check, "Frame7", "V10", {720, 480, 735, 255}, 14},
    {"Picture1", K::Picture, "", "", {240, 5880, 4560, 1290}, No},
};

constexpr FormLayout::MenuItem Menu[] = {
    {"fileMenu", "", "&File", 0, 0},
    {"openFolderAction", "fileMenu", "&Open racers folder\xE2\x80\xA6", 0, 0},
    {"saveAction", "fileMenu", "&Save", 'S', 0},
    {"rescanAction", "fileMenu", "&Rescan racers folder", 0, 5},
    {"", "fileMenu", "", 0, 0},
    {"quitAction", "fileMenu", "&Quit", 'Q', 0},
    {"carMenu", "", "&Car", 0, 0},
    {"previewAction", "carMenu", "&Preview changes\xE2\x80\xA6", 'D', 0},
    {"historyAction", "carMenu", "&History\xE2\x80\xA6", 'H', 0},
    {"helpMenu", "", "&Help", 0, 0},
    {"helpAction", "helpMenu", "&Help", 0, 1},
    {"aboutAction", "helpMenu", "&About", 0, 0},
};
static_assert(FormLayout::hasSoundShortcuts(Menu), "a menu shortcut that cannot work, or that two commands share");

constexpr auto tabStops()
{
    constexpr auto count = std::count_if(std::begin(Controls), std::end(Controls),
                                         [](const auto& control) { return control.tabIndex != No; });
    std::array<const FormLayout::Control*, count> order{};
    for (const FormLayout::Control& control : Controls) {
        if (control.tabIndex != No)
            order[static_cast<std::size_t>(control.tabIndex)] = &control;
    }
    return order;
}

constexpr auto TabOrder = tabStops();
static_assert(std::find(TabOrder.begin(), TabOrder.end(), nullptr) == TabOrder.end(), "tab indices must run 0, 1, 2... without a gap or a repeat");

} // namespace

std::span<const FormLayout::Control> FormLayout::controls()
{
    return Controls;
}

std::span<const FormLayout::Control* const> FormLayout::tabOrder()
{
    return TabOrder;
}

std::span<const FormLayout::MenuItem> FormLayout::menu()
{
    return Menu;
}

// A name missing from a table is a front end's typo, found by its first run.
template <typename Row, std::size_t Size>
static const Row& rowNamed(const Row (&table)[Size], std::string_view name)
{
    const auto found = std::find_if(std::begin(table), std::end(table), [name](const Row& row) { return name == row.name; });
    if (found == std::end(table))
        std::abort();
    return *found;
}

const FormLayout::Control& FormLayout::control(std::string_view name)
{
    return rowNamed(Controls, name);
}

const FormLayout::MenuItem& FormLayout::menuItem(std::string_view name)
{
    return rowNamed(Menu, name);
}

bool FormLayout::isInside(const Control& control, std::string_view container)
{
    for (const Control* at = &control; *at->container; at = &FormLayout::control(at->container)) {
        if (at->container == container)
            return true;
    }
    return false;
}

} // namespace quendral
