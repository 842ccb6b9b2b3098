#pragma once

// What the commands that go through a racers folder's cars share.

#include "app/cli/Command.h"
#include "catalogue/CarTable.h"
#include "controls/EditingControls.h"
#include "editor/CarEditor.h"

#include <filesystem>
#include <string>

namespace quendral::cli {

// The cars of a racers folder, paired as the car list pairs them. Returns
// false after telling why when the folder cannot be read or is none.
bool readCarList(const std::filesystem::path& folder, ToolContext& tool, CarTable& cars);

// A car picked in a freshly started editor, as `show` and `set` pick it. Its
// messages are printed, each after the car's name as `name` gives it.
struct FreshCar
{
    FreshCar(ToolContext& tool, const std::string& name, const std::filesystem::path& folder);
    FreshCar(const FreshCar&) = delete;
    FreshCar& operator=(const FreshCar&) = delete;

    bool load() { return editor.loadSelectedCar(); }

    PrintedMessages messages;
    EditingControls controls;
    CarEditor editor;
};

} // namespace quendral::cli
