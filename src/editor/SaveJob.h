#pragma once

#include "catalogue/CarTable.h"

#include <filesystem>
#include <functional>
#include <string>

namespace quendral {

class MessagePresenter;
class ReplacementFile;

// What one car's save writes and how it ends, for a SaveExecutor to carry
// out, alone or with the saves of other cars. Each step tells the user
// through the presenter it is handed: the executor holds a batch's
// messages back until each car's save has ended.
struct SaveJob
{
    CarEntry car;
    // Writes the new car script for the old one into a file, and what it
    // wrote into `written`. Returns false after telling the user why not.
    std::function<bool(const std::string& old, ReplacementFile& file, std::string& written, MessagePresenter& messages)>
        newScript;
    // Once the script is replaced: what the save returns.
    std::function<bool(const std::string& written, MessagePresenter& messages)> finish;
    // The same when memory ran out once the script was replaced, after
    // telling the user.
    std::function<bool(MessagePresenter& messages)> outOfMemoryOnceSaved;
    // Where the car script may be missing (a restore), the file whose owner,
    // group and permissions the new one takes then.
    std::filesystem::path modelWhenMissing;
};

} // namespace quendral
