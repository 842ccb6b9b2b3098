#pragma once

// What the commands that go through a racers folder's cars share.

#include "app/cli/Command.h"
#include "catalogue/CarTable.h"

#include <filesystem>

namespace quendral::cli {

// The cars of a racers folder, paired as the car list pairs them. Returns
// false after telling why when the folder cannot be read or is none.
bool readCarList(const std::filesystem::path& folder, ToolContext& tool, CarTable& cars);

} // namespace quendral::cli
