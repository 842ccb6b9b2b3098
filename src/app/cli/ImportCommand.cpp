#include "app/cli/CarSession.h"
#include "app/cli/DistinctFolders.h"
#include "app/cli/Fingerprint.h"
#include "app/cli/Garage.h"
#include "app/cli/Json.h"
#include "app/cli/SettingsTable.h"
#include "carscript/CarFiles.h"
#include "carscript/FileSystem.h"
#include "catalogue/FolderListing.h"
#include "editor/SaveExecutor.h"
#include "settings/TextNumber.h"
#include "settings/SettingNames.h"

#include <CLI/App.hpp>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <istream>
#include <map>
#include <memory>

namespace quendral::cli {

namespace {

namespace fs = std::filesystem;

// A table of ten thousand cars takes about a megabyte.
constexpr std::uintmax_t LargestTable = 16u << 20;

struct ImportArguments
{
    std::string folder;
    std::string table;
    bool dryRun = false;
    bool force = false;
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
    std::unique_ptr<CarSession> car;
    Changes settings;
    std::vector<Change> changes;
};

bool readStream(std::istream& in, std::string& data, std::string& error)
{
    std::string contents;
    char chunk[64 * 1024];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        contents.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (contents.size() > LargestTable) {
            error = "it is larger than " + std::to_string(LargestTable >> 20) + " MiB";
            return false;
        }
    }
    if (in.bad()) {
        error = "it could not be read to its end";
        return false;
    }
    data = std::move(contents);
    return true;
}

bool readTableText(const std::string& name, ToolContext& tool, std::string& data, std::string& error)
{
    if (name == "-")
        return readStream(tool.in, data, error);
    // A pipe, as a shell's <(...) makes, has no size to read up to: it is
    // read to its end.
    const fs::path path = pathFromText(name);
    std::error_code ignored;
    const fs::file_type type = fs::status(path, ignored).type();
    if (type == fs::file_type::fifo || type == fs::file_type::character) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            error = "it cannot be opened";
            return false;
        }
        return readStream(in, data, error);
    }
    return tool.fileSystem.readFile(path, data, error, LargestTable);
}

// The number a text reads as, as a spreadsheet's General format reads a
// cell: "007", "7.0" and "7e0" all read as 7.
std::optional<double> numberIn(std::string_view text)
{
    double number = 0;
    if (text.empty() || (text.front() != '-' && text.front() != '.' && (text.front() < '0' || text.front() > '9')))
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

// Each row with the car it names, in table order; what is wrong with the
// others goes to `problems`.
std::vector<std::pair<const TableRow*, const CarEntry*>> pairRows(const Table& table, const CarTable& cars,
                                                                  TableProblems& problems)
{
    // The names a spreadsheet rewrites when it reads them as numbers.
    std::map<double, std::string> byNumber;
    for (int i = 0; i < cars.size(); ++i)
        if (const auto number = numberIn(asUtf8(cars.entry(i)->name)))
            byNumber.try_emplace(*number, asUtf8(cars.entry(i)->name));
    // By the name as tables write it; nullptr for a name two cars share.
    std::map<std::string, const CarEntry*> byName;
    for (int i = 0; i < cars.size(); ++i) {
        const auto [entry, isNew] = byName.try_emplace(asUtf8(cars.entry(i)->name), cars.entry(i));
        if (!isNew)
            entry->second = nullptr;
    }
    // The first row of each car folder.
    DistinctFolders folders;
    std::vector<const TableRow*> rowOfFolder;
    std::vector<std::pair<const TableRow*, const CarEntry*>> paired;
    for (const TableRow& row : table.rows) {
        const std::string& name = row.cells[CarColumn];
        const std::string where = table.where(row, CarColumn) + ": ";
        const auto found = byName.find(asUtf8(name));
        if (found == byName.end()) {
            const auto number = numberIn(name);
            const auto rewritten = number ? byNumber.find(*number) : byNumber.end();
            problems.add(where + "the racers folder has no car named " + shownCell(name)
                         + (rewritten == byNumber.end()
                                ? ""
                                : "; a spreadsheet reading the car column as numbers makes this of the car "
                                      + inQuotes(rewritten->second) + ": import the car column as Text"));
        } else if (!found->second) {
            problems.add(where + "the racers folder has two cars whose names are written " + inQuotes(name));
        } else if (const auto first = folders.add(found->second->folder)) {
            const TableRow& earlier = *rowOfFolder[*first];
            problems.add(where + "the car " + inQuotes(name) + " is named on line " + std::to_string(earlier.line)
                               + " already"
                               + (earlier.cells[CarColumn] == name
                                      ? ""
                                      : " as " + inQuotes(earlier.cells[CarColumn]) + ", whose folder it shares"));
        } else {
            rowOfFolder.push_back(&row);
            paired.emplace_back(&row, found->second);
        }
    }
    return paired;
}

// A wheel size as a table gives it: a whole number, "16.0" and "07" too,
// but not "16.5", which a save would round.
std::optional<int> wholeSize(std::string_view text)
{
    const std::size_t point = text.find('.');
    if (point != std::string_view::npos && text.find_first_not_of("0 \t", point + 1) != std::string_view::npos)
        return std::nullopt;
    const auto number = toWholeNumber(text);
    return number ? std::optional<int>(*number) : std::nullopt;
}

// The cells of the row that differ from the car, or a problem where one
// of them cannot be given to the car. A row that changes anything is
// saved, so its values must pass every rule of the save: a table that
// passes is saved whole.
std::vector<Change> changesOf(const Table& table, const TableRow& row, const CarRow& now, TableProblems& problems)
{
    std::vector<Change> changes;
    for (std::size_t column = CarColumn + 1; column < ScriptColumn; ++column) {
        const std::string& wanted = row.cells[column];
        if (asUtf8(wanted) == now[column])
            continue;
        const bool wheelSize = column == MinColumn || column == MaxColumn;
        // "16.0" for "16", as a spreadsheet may write it, changes nothing.
        if (wheelSize && wholeSize(wanted) && wholeSize(wanted) == toWholeNumber(now[column]))
            continue;
        if (column == DriveColumn && wanted == "none")
            problems.add(table.where(row, column) + ": a drive can be changed to front, rear or all, but not to none");
        else
            changes.push_back({column, now[column], wanted});
    }
    if (changes.empty())
        return changes;
    const auto problem = [&](std::size_t column, const std::string& what) {
        problems.add(table.where(row, column) + ": " + shownCell(row.cells[column]) + " " + what);
    };
    if (parseDrive(row.cells[DriveColumn]) == Drive::None)
        for (const Change& change : changes)
            if (change.column == FrontColumn || change.column == RearColumn)
                problem(change.column, "cannot be saved: a ride height is written only for a car with a drive");
    const auto smallest = wholeSize(row.cells[MinColumn]);
    const auto largest = wholeSize(row.cells[MaxColumn]);
    for (const std::size_t column : {MinColumn, MaxColumn})
        if (!wholeSize(row.cells[column]))
            problem(column, "is not a whole number, which a wheel size must be");
    if (smallest && *smallest < SmallestWheelSize)
        problem(MinColumn, "is below " + std::to_string(SmallestWheelSize) + ", the smallest wheel size a save writes");
    if (largest && *largest > LargestWheelSize)
        problem(MaxColumn, "is above " + std::to_string(LargestWheelSize) + ", the largest wheel size a save writes");
    if (smallest && largest && *smallest > *largest)
        problem(MinColumn, "is above the largest wheel size, " + std::to_string(*largest) + ", so a save refuses it");
    return changes;
}

// The row's values of the settings it changes. The engines change
// together: those the row does not change are as the car has them.
Changes settingsChanged(const TableRow& row, const std::vector<Change>& changes)
{
    Changes settings;
    for (const Change& change : changes) {
        const std::size_t column = change.column;
        if (column < DriveColumn) {
            std::array<bool, 4> engines{};
            for (std::size_t i = 0; i < engines.size(); ++i)
                engines[i] = row.cells[FirstEngineColumn + i] == "yes";
            settings.set(&CarSettings::engines, Setting::Engines, engines);
        } else if (column == DriveColumn) {
            settings.set(&CarSettings::drive, Setting::Drive, *parseDrive(change.to));
        } else if (column == FrontColumn || column == RearColumn) {
            settings.set(column == FrontColumn ? &CarSettings::front : &CarSettings::rear,
                         column == FrontColumn ? Setting::Front : Setting::Rear, std::stoi(change.to));
        } else {
            settings.set(column == MinColumn ? &CarSettings::smallest : &CarSettings::largest,
                         column == MinColumn ? Setting::Smallest : Setting::Largest,
                         std::to_string(*wholeSize(change.to)));
        }
    }
    return settings;
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

void printProblems(const TableProblems& problems, const std::string& tableName, std::ostream& err)
{
    for (const std::string& problem : problems.kept)
        err << "quendral-car: " << tableName << ": " << escaped(problem) << '\n';
    if (problems.count > problems.kept.size())
        err << "quendral-car: " << tableName << ": " << problems.count - problems.kept.size() << " more problems\n";
    err << "quendral-car: nothing was saved\n";
}

// Whether the car's script is still the one the row was exported from.
// A row without a fingerprint, made by hand, is taken as it is.
bool unchangedSinceExport(const TableRow& row, const CarEntry& car, FileSystem& fileSystem)
{
    if (row.cells[ScriptColumn].empty())
        return true;
    std::string script;
    std::string error;
    return fileSystem.readFile(carScriptPath(car.folder), script, error, LargestCarScript)
        && scriptFingerprint(script) == row.cells[ScriptColumn];
}

int importTable(const ImportArguments& arguments, ToolContext& tool)
{
    if (arguments.folder.empty() || arguments.table.empty())
        throw UsageProblem("import takes a racers folder and a table");
    const std::string tableName = arguments.table == "-" ? "standard input" : escaped(arguments.table);
    std::string data;
    std::string error;
    if (!readTableText(arguments.table, tool, data, error)) {
        tool.err << "quendral-car: the table " << tableName << " cannot be read: " << error << '\n';
        return Failure;
    }
    CarTable cars;
    if (!readCarList(pathFromText(arguments.folder), tool, cars))
        return Failure;
    // Beyond as many rows as there are cars, every row is a problem; a few
    // are read to name them.
    Table table = readTable(data, isJsonTable(arguments.table, data),
                            static_cast<std::size_t>(cars.size()) + TableProblems::Kept);
    std::string().swap(data);

    // Every row is checked, and every car it names loaded, before the
    // first save: a table with a problem saves nothing, nor does one
    // naming a car that cannot be read.
    TableProblems& problems = table.problems;
    std::vector<std::string> unread;
    std::vector<Plan> plans;
    for (const auto& [row, entry] : pairRows(table, cars, problems)) {
        auto car = std::make_unique<CarSession>(tool, escaped(entry->name) + ": ");
        if (!car->loadCar(entry->folder)) {
            unread.push_back(entry->name);
            continue;
        }
        if (!arguments.force && !unchangedSinceExport(*row, *entry, tool.fileSystem)) {
            problems.add(table.where(*row, ScriptColumn) + ": the car " + inQuotes(asUtf8(entry->name))
                         + " changed after the table was exported; export the table anew, or import with "
                           "--force to save this row over that change");
            continue;
        }
        std::vector<Change> changes = changesOf(table, *row, rowOf(entry->name, car->settings(), {}), problems);
        // Once the table has a problem nothing is saved, and a cell with a
        // problem may not even read as a setting.
        if (!changes.empty() && problems.empty())
            plans.push_back({entry->name, entry->folder, std::move(car), settingsChanged(*row, changes), std::move(changes)});
    }
    if (!problems.empty()) {
        printProblems(problems, tableName, tool.err);
        return UsageError;
    }
    if (!unread.empty()) {
        for (const std::string& name : unread)
            tool.err << "quendral-car: the car " << inQuotes(escaped(name)) << " cannot be read\n";
        tool.err << "quendral-car: nothing was saved\n";
        return Failure;
    }
    if (plans.empty()) {
        tool.err << "quendral-car: the table changes no car; nothing was saved\n";
        return Success;
    }

    int status = Success;
    if (arguments.dryRun) {
        for (const Plan& plan : plans) {
            printChanges(plan, tool.out);
            plan.car->change(plan.settings);
            if (!printSavePreview(plan.car->editor(), plan.folder, tool))
                status = Failure;
        }
        return status;
    }
    SaveExecutor batch(tool.fileSystem);
    for (Plan& plan : plans) {
        plan.car->change(plan.settings);
        plan.car->saveWith(batch);
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
    command->add_flag("--force", arguments->force,
                      "save the rows of cars changed after the table was exported, over those changes");
    return {command, "import RACERS_FOLDER TABLE [--dry-run] [--force]",
            "TABLE is CSV or JSON, as export writes it, or - for standard input.",
            [arguments](ToolContext& context) { return importTable(*arguments, context); }};
}

} // namespace quendral::cli
