#pragma once

#include "carscript/ScriptRewriter.h"
#include "settings/CarSettings.h"
#include "settings/ScriptSettings.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quendral {

// What a save is asked to write into one car's script.
struct SaveRequest
{
    // The settings as the user wants them.
    CarSettings wanted;
    // Which of them were changed since the car was loaded; all of them for
    // a car that was not.
    SettingFlags changed{true, true, true, true, true, true};
    // The car as it was loaded: its settings and which its script gave.
    // Nothing for a car not loaded.
    std::optional<CarSettings> loaded;
    SettingFlags given{};
    // Whether, when the script no longer holds what was loaded, only the
    // settings changed here are written over what it holds now, so that no
    // change of another save is lost.
    bool mergeChanges = true;
};

// A save worked out on the bytes of a car script, with nothing read or
// written: the settings it writes, the new script, and what the new script
// gives when it is read back; or why the script cannot be saved.
struct SavePlan
{
    // Why the car cannot be saved; nothing when it can.
    std::optional<std::string> refusal;
    // The settings written: those wanted, or those changed here over what
    // the script holds now, when `merged`.
    CarSettings settings;
    bool merged = false;
    std::string written;
    RewriteNotes notes;
    // The new script as the next load of the car will read it, and the
    // settings asked for that it did not take, each with its reason.
    CarSettings readBack;
    SettingFlags givenBack{};
    std::vector<std::string> missed;
};

// Plans the save of a car script that is not in UTF-16.
SavePlan planSave(std::string_view script, const SaveRequest& request);

} // namespace quendral
