#include "app/cli/CarSession.h"
#include "app/cli/DistinctFolders.h"

#include "carscript/CarFiles.h"
#include "catalogue/FolderListing.h"
#include "editor/EditorSession.h"
#include "editor/SaveExecutor.h"
#include "history/LineDiff.h"
#include "settings/SettingNames.h"

#include <CLI/App.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>
#include <optional>
#include <sstream>

namespace quendral::cli {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view Notes = "LIST is a comma-separated list of I4, V6, V8, V10, or none; P is 0 to 30.";

struct SetArguments
{
    std::vector<std::string> cars;
    Changes changes;
    bool dryRun = false;
};

// Any drive but none, which a save cannot write.
std::optional<Drive> parseDriven(std::string_view name)
{
    const std::optional<Drive> drive = parseDrive(name);
    return drive == Drive::None ? std::nullopt : drive;
}

std::optional<int> parsePosition(std::string_view text)
{
    int position = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), position);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()
        || position < RideHeightMinimum || position > RideHeightMaximum)
        return std::nullopt;
    return position;
}

// A car of a `set` whose messages wait until the whole batch is saved, so
// that each car's come out together, in the order given.
struct CarToSave
{
    CarToSave(ToolContext& tool, const fs::path& car) : session(tool, said, escapedPath(car) + ": ") {}

    std::ostringstream said;
    CarSession session;
};

int setCars(const SetArguments& arguments, ToolContext& tool)
{
    if (arguments.cars.empty())
        throw UsageProblem("set needs at least one car folder");
    std::vector<fs::path> folders;
    DistinctFolders distinct;
    for (const std::string& folder : arguments.cars)
        if (!distinct.add(pathFromText(folder)))
            folders.push_back(pathFromText(folder));
    int status = Success;
    if (arguments.dryRun) {
        for (const fs::path& car : folders) {
            CarSession session(tool, escapedPath(car) + ": ");
            if (!session.loadCar(car)) {
                status = Failure;
                continue;
            }
            session.change(arguments.changes);
            if (!printSavePreview(session.editor(), car, tool))
                status = Failure;
        }
        return status;
    }
    std::vector<std::unique_ptr<CarToSave>> cars;
    SaveExecutor batch(tool.fileSystem);
    for (const fs::path& folder : folders) {
        CarToSave& car = *cars.emplace_back(std::make_unique<CarToSave>(tool, folder));
        if (!car.session.loadCar(folder)) {
            status = Failure;
            continue;
        }
        car.session.change(arguments.changes);
        car.session.saveWith(batch);
    }
    for (const bool saved : batch.run())
        if (!saved)
            status = Failure;
    for (const auto& car : cars)
        tool.err << car->said.str();
    return status;
}

auto positionProblem(std::string name)
{
    return [name = std::move(name)](const std::string& value) {
        return name + " takes a position from 0 to 30, not " + inQuotes(value);
    };
}

// Adds an option taking a value, which `parse` turns into the change of
// `setting` or refuses with `problem`. The last of repeated options counts.
template <typename Value, typename Parse, typename Problem>
void addChange(CLI::App& set, const std::string& name, const std::string& typeName, const std::string& description,
               Changes& changes, Value CarSettings::*setting, Setting which, Parse parse, Problem problem)
{
    set.add_option_function<std::string>(
           name, [&changes, setting, which, parse](const std::string& value) {
               changes.set(setting, which, Value(*parse(value)));
           }, description)
        ->type_name(typeName)
        ->take_last()
        ->check(valueCheck([parse, problem](const std::string& value) {
            return parse(value) ? std::string() : problem(value);
        }));
}

} // namespace

bool printSavePreview(EditorSession& editor, const fs::path& car, ToolContext& tool)
{
    std::string current;
    std::optional<std::string> written;
    const bool saved = editor.previewSave(EditorSession::SaveScope::ChangedSettings, current, written);
    if (written) {
        const std::string script = escapedPath(carScriptPath(car));
        tool.out << unifiedText(diffLinesWithEnds(current, *written), script + "\tcurrent", script + "\tafter the save");
    }
    return saved;
}

Command addSetCommand(CLI::App& tool)
{
    auto arguments = std::make_shared<SetArguments>();
    Changes& changes = arguments->changes;
    CLI::App* set = tool.add_subcommand(
        "set", "save changed settings into cars, as the editor does on Save (exit 1 when any car is not saved)");
    set->footer(std::string(Notes));
    addFolderArguments(*set, "CAR_FOLDER", arguments->cars, "the cars' folders");
    const auto any = [](const std::string& value) { return std::optional<std::string>(value); };
    const auto none = [](const std::string&) { return std::string(); };
    addChange(*set, "--engines", "LIST", "the engine families the car takes", changes, &CarSettings::engines,
              Setting::Engines, parseEngines,
              [](const std::string& value) { return "unknown engine family in " + inQuotes(value); });
    addChange(*set, "--drive", "front|rear|all", "the driven wheels", changes, &CarSettings::drive, Setting::Drive,
              parseDriven,
              [](const std::string& value) { return "--drive takes front, rear or all, not " + inQuotes(value); });
    addChange(*set, "--front", "P", "the ride height of the front wheels", changes, &CarSettings::front,
              Setting::Front, parsePosition, positionProblem("--front"));
    addChange(*set, "--rear", "P", "the ride height of the rear wheels", changes, &CarSettings::rear, Setting::Rear,
              parsePosition, positionProblem("--rear"));
    addChange(*set, "--min", "TEXT", "the smallest wheel size", changes, &CarSettings::smallest, Setting::Smallest,
              any, none);
    addChange(*set, "--max", "TEXT", "the largest wheel size", changes, &CarSettings::largest, Setting::Largest, any,
              none);
    set->add_flag("--dry-run", arguments->dryRun,
                  "print for each car the diff of what the save would write, and write nothing");

    return {set,
            "set CAR_FOLDER... [--engines LIST] [--drive front|rear|all]\n"
            "                        [--front P] [--rear P] [--min TEXT] [--max TEXT] [--dry-run]",
            Notes, [arguments](ToolContext& context) { return setCars(*arguments, context); }};
}

} // namespace quendral::cli
