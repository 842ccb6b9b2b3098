#include "app/cli/CarSession.h"
#include "app/cli/Json.h"
#include "app/cli/SettingsTable.h"
#include "settings/SettingNames.h"
#include "catalogue/FolderListing.h"

#include <CLI/App.hpp>

#include <memory>
#include <ostream>

namespace quendral::cli {

namespace {

struct ShowArguments
{
    std::vector<std::string> folders;
    Format format = Format::Text;
};

void printSettings(const CarSettings& settings, std::ostream& out)
{
    const std::string engines = enginesText(settings.engines, " ", "");
    out << "engines:" << (engines.empty() ? "" : " ") << engines << "\ndrive: " << driveName(settings.drive)
        << "\nfront: " << settings.front << "\nrear: " << settings.rear << "\nmin: " << settings.smallest
        << "\nmax: " << settings.largest << '\n';
}

int showCar(const ShowArguments& arguments, ToolContext& tool)
{
    if (arguments.folders.size() != 1)
        throw UsageProblem("show takes one car folder");
    const std::filesystem::path car = pathFromText(arguments.folders.front());
    CarSession session(tool);
    if (!session.loadCar(car))
        return Failure;
    if (arguments.format == Format::Json)
        printJson(tool.out, rowJson(rowOf(fileNameOf(car), session.settings(), {})));
    else
        printSettings(session.settings(), tool.out);
    return Success;
}

} // namespace

Command addShowCommand(CLI::App& tool)
{
    auto arguments = std::make_shared<ShowArguments>();
    CLI::App* show = tool.add_subcommand("show", "print the settings the editor shows for a car");
    addFolderArguments(*show, "CAR_FOLDER", arguments->folders, "the car's folder");
    addFormatOption(*show, arguments->format, {Format::Text, Format::Json});
    return {show, "show CAR_FOLDER [--format text|json]", "",
            [arguments](ToolContext& context) { return showCar(*arguments, context); }};
}

} // namespace quendral::cli
