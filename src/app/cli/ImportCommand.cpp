#include "app/cli/Command.h"

#include "app/cli/Garage.h"
#include "app/cli/Json.h"
#include "app/cli/SettingsTable.h"
#include "carscript/FileSystem.h"
#include "catalogue/FolderListing.h"
#include "controls/TextNumber.h"
#include "editor/BatchSave.h"

#include <CLI/App.hpp>

#include <algorithm>
#include <iostream>
#include <map>
#include <memory>

namespace quendral::cli {

namespace {

namespace fs = std::filesystem;

// A table of ten thousand cars takes about a megabyte.
constexpr std::uintmax_t LargestTable = 16u << 20;

// Problems printed of a table that has more.
constexpr std::size_t ProblemsShown = 20;

struct ImportArguments
{
    std::string folder;
    std::string table;
    bool dryRun = false;
};

struct Change
{
    std::size_t column;
    std::string from;
    std::string to;
};

// A car whose row differs from it, loaded and waiting for its save.
struct Plan
{
    std::string name;
    std::filesystem::path folder;
    std::unique_ptr<FreshCar> car;
    std::vector<Change> changes;
};

bool readTableText(const std::string& name, FileSystem& fileSystem, std::string& data, std::string& error)
{
    if (name != "-")
        return fileSystem.readFile(pathFromText(name), data, error, LargestTable);
    std::string contents;
    char chunk[64 * 1024];
    while (std::cin.read(chunk, sizeof chunk) || std::cin.gcount() > 0) {
        contents.append(chunk, static_cast<std::size_t>(std::cin.gcount()));
        if (contents.size() > LargestTable) {
            error = "it is larger than " + std::to_string(LargestTable >> 20) + " MiB";
            return false;
        }
    }
    if (std::cin.bad()) {
        error = "standard input could not be read";
        return false;
    }
    data = std::move(contents);
    return true;
}

// The folder a car stands for, links and all resolved, so that two names
// of one car folder are seen as one.
fs::path resolved(const fs::path& folder)
{
    std::error_code error;
    fs::path target = fs::weakly_canonical(folder, error);
    return error ? folder : target;
}

// Each row with the car it names, in table order; what is wrong with the
// others goes to `problems`.
std::vector<std::pair<const TableRow*, const CarEntry*>> pairRows(const Table& table, const CarTable& cars,
                                                                  std::vector<std::string>& problems)
{
    // By the name as tables write it; nullptr for a name two cars share.
    std::map<std::string, const CarEntry*> byName;
    for (int i = 0; i < cars.size(); ++i) {
        const auto [entry, isNew] = byName.try_emplace(asUtf8(cars.entry(i)->name), cars.entry(i));
        if (!isNew)
            entry->second = nullptr;
    }
    // The first row of each car folder.
    std::map<fs::path, const TableRow*> rowOfFolder;
    std::vector<std::pair<const TableRow*, const CarEntry*>> paired;
    for (const TableRow& row : table.rows) {
        const std::string& name = row.cells[CarColumn];
        const std::string where = table.where(row, CarColumn) + ": ";
        const auto found = byName.find(asUtf8(name));
        if (found == byName.end()) {
            problems.push_back(where + "the racers folder has no car named \"" + name + "\"");
        } else if (!found->second) {
            problems.push_back(where + "the racers folder has two cars whose names are written \"" + name + "\"");
        } else if (const auto [first, isFirst] = rowOfFolder.try_emplace(resolved(found->second->folder), &row);
                   !isFirst) {
            const TableRow& earlier = *first->second;
            problems.push_back(where + "the car \"" + name + "\" is named on line " + std::to_string(earlier.line)
                               + " already"
                               + (earlier.cells[CarColumn] == name
                                      ? ""
                                      : " as \"" + earlier.cells[CarColumn] + "\", whose folder it shares"));
        } else {
            paired.emplace_back(&row, found->second);
        }
    }
    return paired;
}

// The cells of the row that differ from the car, or a problem where one
// of them cannot be given to the car.
std::vector<Change> changesOf(const Table& table, const TableRow& row, const CarRow& now,
                              std::vector<std::string>& problems)
{
    std::vector<Change> changes;
    for (std::size_t column = CarColumn + 1; column < Columns.size(); ++column) {
        const std::string& wanted = row.cells[column];
        if (asUtf8(wanted) == now[column])
            continue;
        const bool wheelSize = column == MinColumn || column == MaxColumn;
        // "16.0" for "16", as a spreadsheet may write it, changes nothing.
        if (wheelSize && toWholeNumber(wanted) && toWholeNumber(wanted) == toWholeNumber(now[column]))
            continue;
        if (wheelSize && !toWholeNumber(wanted))
            problems.push_back(table.where(row, column) + ": \"" + wanted
                               + "\" is not a whole number, which a wheel size must be");
        else if (column == DriveColumn && wanted == "none")
            problems.push_back(table.where(row, column)
                               + ": a drive can be changed to front, rear or all, but not to none");
        else
            changes.push_back({column, now[column], wanted});
    }
    return changes;
}

// As `set` changes them.
void applyChanges(const std::vector<Change>& changes, EditingControls& controls)
{
    for (const Change& change : changes) {
        const std::string& value = change.to;
        if (change.column >= FirstEngineColumn && change.column < DriveColumn)
            controls.engineChecks()[change.column - FirstEngineColumn]->setValue(value == "yes" ? 1 : 0);
        else if (change.column == DriveColumn)
            controls.driveSystem.setValue(
                static_cast<int>(std::find(DriveNames.begin(), DriveNames.end(), value) - DriveNames.begin()), true);
        else if (change.column == FrontColumn)
            controls.frontHeight.setValue(std::stoi(value));
        else if (change.column == RearColumn)
            controls.rearHeight.setValue(std::stoi(value));
        else if (change.column == MinColumn)
            controls.smallestWheel.setText(value);
        else if (change.column == MaxColumn)
            controls.largestWheel.setText(value);
    }
}

void printChanges(const Plan& plan, std::ostream& out)
{
    out << escaped(plan.name) << ':';
    const char* separator = " ";
    for (const Change& change : plan.changes) {
        out << separator << Columns[change.column] << ' ' << escaped(change.from) << " -> " << escaped(change.to);
        separator = ", ";
    }
    out << '\n';
}

int importTable(const ImportArguments& arguments, ToolContext& tool)
{
    if (arguments.folder.empty() || arguments.table.empty())
        throw UsageProblem("import takes a racers folder and a table");
    const std::string tableName = arguments.table == "-" ? "standard input" : escaped(arguments.table);
    std::string data;
    std::string error;
    if (!readTableText(arguments.table, tool.fileSystem, data, error)) {
        tool.err << "quendral-car: the table " << tableName << " cannot be read: " << error << '\n';
        return Failure;
    }
    const Table table = readTable(data, isJsonTable(arguments.table, data));
    std::string().swap(data);
    CarTable cars;
    if (!readCarList(pathFromText(arguments.folder), tool, cars))
        return Failure;

    // Every row is checked, and every car it names loaded, before the
    // first save: a table with a problem saves nothing.
    std::vector<std::string> problems = table.problems;
    int status = Success;
    std::vector<Plan> plans;
    for (const auto& [row, entry] : pairRows(table, cars, problems)) {
        auto car = std::make_unique<FreshCar>(tool, entry->name, entry->folder);
        if (!car->load()) {
            status = Failure;
            continue;
        }
        std::vector<Change> changes = changesOf(table, *row, rowOf(entry->name, car->controls), problems);
        if (!changes.empty())
            plans.push_back({entry->name, entry->folder, std::move(car), std::move(changes)});
    }
    if (!problems.empty()) {
        for (std::size_t i = 0; i < std::min(problems.size(), ProblemsShown); ++i)
            tool.err << "quendral-car: " << tableName << ": " << escaped(problems[i]) << '\n';
        if (problems.size() > ProblemsShown)
            tool.err << "quendral-car: " << tableName << ": " << problems.size() - ProblemsShown
                     << " more problems\n";
        tool.err << "quendral-car: nothing was saved\n";
        return UsageError;
    }

    if (arguments.dryRun) {
        for (const Plan& plan : plans) {
            printChanges(plan, tool.out);
            applyChanges(plan.changes, plan.car->controls);
            if (!printSavePreview(plan.car->editor, plan.folder, tool))
                status = Failure;
        }
        return status;
    }
    BatchSave batch(tool.fileSystem);
    for (Plan& plan : plans) {
        applyChanges(plan.changes, plan.car->controls);
        batch.add(plan.car->editor);
    }
    for (const bool saved : batch.run())
        if (!saved)
            status = Failure;
    return status;
}

} // namespace

Command addImportCommand(CLI::App& tool)
{
    auto arguments = std::make_shared<ImportArguments>();
    CLI::App* command = tool.add_subcommand(
        "import", "save into each car named in a table the settings in which its row differs from it, as set "
                  "does (exit 1 when any car is not saved, 2 when the table has a problem: then nothing is saved)");
    addFolderArgument(*command, "RACERS_FOLDER", arguments->folder, "the racers folder");
    command->add_option("TABLE", arguments->table, "the table, CSV or JSON as export writes it; - for standard input")
        ->type_name("");
    command->add_flag("--dry-run", arguments->dryRun, "print each car's changes and the diff of its save, and save nothing");
    return {command, "import RACERS_FOLDER TABLE [--dry-run]",
            "TABLE is CSV or JSON, as export writes it, or - for standard input.",
            [arguments](ToolContext& context) { return importTable(*arguments, context); }};
}

} // namespace quendral::cli
