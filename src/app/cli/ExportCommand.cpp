#include "app/cli/CarSession.h"
#include "app/cli/Fingerprint.h"
#include "app/cli/Garage.h"
#include "app/cli/Json.h"
#include "app/cli/SettingsTable.h"
#include "carscript/CarFiles.h"
#include "carscript/FileSystem.h"
#include "catalogue/FolderListing.h"

#include <CLI/App.hpp>

#include <memory>
#include <ostream>

namespace quendral::cli {

namespace {

struct ExportArguments
{
    std::vector<std::string> folders;
    Format format = Format::Csv;
};

int exportCars(const ExportArguments& arguments, ToolContext& tool)
{
    if (arguments.folders.size() != 1)
        throw UsageProblem("export takes one racers folder");
    CarTable cars;
    if (!readCarList(pathFromText(arguments.folders.front()), tool, cars))
        return Failure;
    int status = Success;
    std::vector<CarRow> rows;
    for (int i = 0; i < cars.size(); ++i) {
        const CarEntry& entry = *cars.entry(i);
        // The fingerprint is taken first: should a save come between, the
        // import takes the row for an old one and refuses it.
        std::string script;
        std::string error;
        const bool read = tool.fileSystem.readFile(carScriptPath(entry.folder), script, error, LargestCarScript);
        const std::string fingerprint = read ? scriptFingerprint(script) : std::string();
        std::string().swap(script);
        CarSession car(tool, escaped(entry.name) + ": ");
        if (!car.loadCar(entry.folder)) {
            status = Failure;
            continue;
        }
        rows.push_back(rowOf(entry.name, car.settings(), fingerprint));
    }
    if (arguments.format == Format::Json) {
        Json table = Json::array();
        for (const CarRow& row : rows)
            table.push_back(rowJson(row));
        printJson(tool.out, table);
    } else {
        writeCsv(tool.out, rows);
    }
    return status;
}

} // namespace

Command addExportCommand(CLI::App& tool)
{
    auto arguments = std::make_shared<ExportArguments>();
    CLI::App* command = tool.add_subcommand(
        "export", "print the settings of every car of a racers folder as a table, one row per car (exit 1 when a "
                  "car cannot be read; it is left out)");
    addFolderArguments(*command, "RACERS_FOLDER", arguments->folders, "the racers folder");
    addFormatOption(*command, arguments->format, {Format::Csv, Format::Json});
    return {command, "export RACERS_FOLDER [--format csv|json]", "",
            [arguments](ToolContext& context) { return exportCars(*arguments, context); }};
}

} // namespace quendral::cli
