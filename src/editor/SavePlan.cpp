#include "editor/SavePlan.h"

#include "carscript/ByteSink.h"
#include "carscript/LargeBuffer.h"
#include "carscript/ScriptVocabulary.h"
#include "carscript/SettingsReader.h"
#include "carscript/WheelLine.h"
#include "settings/InQuotes.h"
#include "settings/SettingNames.h"
#include "settings/TextNumber.h"

#include <tuple>

namespace quendral {

namespace {

// A setting named as changed here stays, even where it equals what was
// loaded: `set --front 10` writes 10 whatever another save wrote meanwhile.
template <typename T>
void takeUnchanged(T& mine, const T& loaded, const T& now, bool changedHere)
{
    if (!changedHere && mine == loaded)
        mine = now;
}

std::string familiesText(const std::array<bool, 4>& engines)
{
    return enginesText(engines, ", ", "none");
}

// Why a wheel block could not take what was written into it, when the
// rewrite knows.
std::optional<std::string> wheelTrouble(const RewriteNotes& notes, Wheel wheel)
{
    const auto index = static_cast<std::size_t>(wheel);
    const std::string name = wheel == Wheel::FrontLeft ? "front-left" : "rear-left";
    if (!notes.wheelBlock[index])
        return "it has no " + name + " wheel block (" + (wheel == Wheel::FrontLeft ? "# FL wheel #" : "# RL wheel #")
            + ")";
    if (notes.wheelLineTooShort[index])
        return "its " + name + " wheel line is too short to hold a ride height and drive (it needs "
            + std::to_string(ShortestRewrittenWheelLine) + " characters)";
    return std::nullopt;
}

std::string wheelReason(const RewriteNotes& notes, Wheel wheel)
{
    return wheelTrouble(notes, wheel)
        .value_or(std::string("its ") + (wheel == Wheel::FrontLeft ? "front-left" : "rear-left")
                  + " wheel block does not read back as written");
}

// The settings wanted; or, when the script no longer holds what was loaded,
// those changed here since the load over those it holds now. Those are
// checked again, since the wheel sizes of two saves need not make a range.
bool settingsToWrite(std::string_view script, const SaveRequest& request, SavePlan& plan)
{
    CarSettings& wanted = plan.settings;
    wanted = request.wanted;
    if (!request.mergeChanges || !request.loaded)
        return true;
    const CarSettings& loaded = *request.loaded;
    const CarSettings now = readScriptSettings(script).over(loaded);
    if (now == loaded)
        return true;
    const SettingFlags& changed = request.changed;
    // Engine families merge one by one, so that each side's ticks stay.
    for (std::size_t i = 0; i < wanted.engines.size(); ++i)
        takeUnchanged(wanted.engines[i], loaded.engines[i], now.engines[i], false);
    takeUnchanged(wanted.drive, loaded.drive, now.drive, has(changed, Setting::Drive));
    takeUnchanged(wanted.front, loaded.front, now.front, has(changed, Setting::Front));
    takeUnchanged(wanted.rear, loaded.rear, now.rear, has(changed, Setting::Rear));
    takeUnchanged(wanted.smallest, loaded.smallest, now.smallest, has(changed, Setting::Smallest));
    takeUnchanged(wanted.largest, loaded.largest, now.largest, has(changed, Setting::Largest));
    plan.merged = true;
    if (wanted.wheelRange())
        return true;
    plan.refusal = "another save changed its wheel sizes meanwhile, and with those given here they make no range ("
        + wanted.smallest + " to " + wanted.largest + ")";
    return false;
}

// Reads what was written, as the next load of the car will, and compares
// with what was asked each setting the save wrote that the script gave at
// load or that was changed since. Settings neither given nor changed are
// written as wanted, but not missed when the script cannot take them.
void checkReadBack(const SaveRequest& request, SavePlan& plan)
{
    const CarSettings& asked = plan.settings;
    const RewriteNotes& notes = plan.notes;
    const SettingFlags& changed = request.changed;
    SettingFlags compared{};
    for (std::size_t i = 0; i < compared.size(); ++i)
        compared[i] = changed[i] || (request.loaded && request.given[i]);
    // Read over values unlike those asked for, so that a setting the new
    // script does not give cannot pass for one it took.
    CarSettings unlike;
    unlike.front = asked.front == 0 ? 1 : 0;
    unlike.rear = asked.rear == 0 ? 1 : 0;
    const ScriptSettings read = readScriptSettings(plan.written);
    const SettingFlags& given = plan.givenBack = read.given;
    const CarSettings& back = plan.readBack = read.over(unlike);
    // The rewrite wrote sizes that make a range.
    const auto [smallest, largest] = asked.wheelRange().value_or(std::pair{0, 0});
    const auto positionGiven = [&](Setting setting, int position) {
        return has(given, setting) ? std::to_string(position) : std::string("none");
    };

    std::vector<std::string>& missed = plan.missed;
    const auto miss = [&](const std::string& setting, const std::string& shown, const std::string& why) {
        missed.push_back(setting + " (the saved script gives " + shown + ": " + why + ")");
    };
    if (has(compared, Setting::Engines) && back.engines != asked.engines)
        miss("engine families " + familiesText(asked.engines), familiesText(back.engines),
             notes.engineBlock ? "lines outside its engine block name engine families"
                               : "it has no engine block, a line ending in engine_block");
    // Without a drive the wheel lines are kept as they are, heights and all.
    if (asked.drive != Drive::None) {
        if (has(compared, Setting::Drive) && back.drive != asked.drive)
            miss("drive " + std::string(driveName(asked.drive)), std::string(driveName(back.drive)),
                 wheelTrouble(notes, Wheel::FrontLeft).value_or(wheelReason(notes, Wheel::RearLeft)));
        if (has(compared, Setting::Front) && (back.front != asked.front || !has(given, Setting::Front)))
            miss("front ride height " + std::to_string(asked.front), positionGiven(Setting::Front, back.front),
                 wheelReason(notes, Wheel::FrontLeft));
        if (has(compared, Setting::Rear) && (back.rear != asked.rear || !has(given, Setting::Rear)))
            miss("rear ride height " + std::to_string(asked.rear), positionGiven(Setting::Rear, back.rear),
                 wheelReason(notes, Wheel::RearLeft));
    } else {
        for (const auto& [setting, name, position] :
             {std::tuple{Setting::Front, "front ride height ", asked.front},
              std::tuple{Setting::Rear, "rear ride height ", asked.rear}})
            if (has(changed, setting))
                missed.push_back(name + std::to_string(position)
                                 + " (a ride height is written only for a car with a drive)");
    }
    const auto sizeGiven = [](const std::string& text) { return text.empty() ? std::string("none") : inQuotes(text); };
    if (has(compared, Setting::Smallest) && toWholeNumber(back.smallest) != smallest)
        miss("smallest wheel size " + std::to_string(smallest), sizeGiven(back.smallest),
             wheelReason(notes, Wheel::FrontLeft));
    if (has(compared, Setting::Largest) && toWholeNumber(back.largest) != largest)
        miss("largest wheel size " + std::to_string(largest), sizeGiven(back.largest),
             wheelReason(notes, Wheel::FrontLeft));
}

} // namespace

SavePlan planSave(std::string_view script, const SaveRequest& request)
{
    SavePlan plan;
    if (!settingsToWrite(script, request, plan))
        return plan;
    StringSink sink;
    reserveLarge(sink.data, script.size() + script.size() / 8 + 4096);
    std::string error;
    if (!rewriteScript(script, plan.settings, sink, error, &plan.notes)) {
        plan.refusal = error;
        return plan;
    }
    plan.written = std::move(sink.data);
    checkReadBack(request, plan);
    return plan;
}

} // namespace quendral
