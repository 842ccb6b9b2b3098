#include "app/cli/Command.h"

#include "app/cli/Garage.h"
#include "app/cli/Json.h"
#include "catalogue/FolderListing.h"

#include <CLI/App.hpp>

#include <memory>
#include <ostream>

namespace quendral::cli {

namespace {

struct ListArguments
{
    std::vector<std::string> folders;
    Format format = Format::Text;
};

int listCars(const ListArguments& arguments, ToolContext& tool)
{
    if (arguments.folders.size() != 1)
        throw UsageProblem("list takes one racers folder");
    CarTable table;
    if (!readCarList(pathFromText(arguments.folders.front()), tool, table))
        return Failure;
    Json cars = Json::array();
    // The folders as text: a path for each of 10,000 cars costs more than
    // the listing.
    for (int i = 0; i < table.size(); ++i) {
        const std::string folder = table.folderText(i);
        if (arguments.format == Format::Json)
            cars.push_back({{"car", asUtf8(table.name(i))}, {"folder", asUtf8(folder)}});
        else
            tool.out << escaped(table.name(i)) << '\t' << listedPath(folder) << '\n';
    }
    if (arguments.format == Format::Json)
        printJson(tool.out, cars);
    return Success;
}

} // namespace

Command addListCommand(CLI::App& tool)
{
    auto arguments = std::make_shared<ListArguments>();
    CLI::App* list = tool.add_subcommand("list", "print each car of a racers folder: its name, a tab, its folder");
    addFolderArguments(*list, "RACERS_FOLDER", arguments->folders, "the racers folder");
    addFormatOption(*list, arguments->format, {Format::Text, Format::Json});
    return {list, "list RACERS_FOLDER [--format text|json]", "",
            [arguments](ToolContext& context) { return listCars(*arguments, context); }};
}

} // namespace quendral::cli
