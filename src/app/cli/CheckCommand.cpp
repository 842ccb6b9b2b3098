#include "app/cli/CarSession.h"
#include "app/cli/Json.h"
#include "catalogue/FolderListing.h"
#include "editor/CarCheck.h"

#include <CLI/App.hpp>

#include <memory>
#include <ostream>
#include <sstream>

namespace quendral::cli {

namespace {

struct CheckArguments
{
    std::vector<std::string> folders;
    Format format = Format::Text;
};

// The problems of the cars of a racers folder, or of the car in a folder
// that is none; `byPath` is set for the latter, whose cars are named by
// their folders.
std::vector<CarProblem> problemsIn(const std::filesystem::path& folder, ToolContext& tool, bool& byPath)
{
    std::ostringstream unsaid;
    CarSession session(tool, unsaid, "");
    byPath = !session.openFolder(folder) || !session.isRacersFolder();
    if (!byPath)
        return carListProblems(session.editor().carTable(), tool.fileSystem);
    std::vector<CarProblem> problems;
    for (std::string& problem : carProblems(folder, tool.fileSystem))
        problems.push_back({fileNameOf(folder), folder, std::move(problem)});
    return problems;
}

int checkCars(const CheckArguments& arguments, ToolContext& tool)
{
    if (arguments.folders.empty())
        throw UsageProblem("check needs a racers folder or car folders");
    Json found = Json::array();
    std::size_t count = 0;
    for (const std::string& folder : arguments.folders) {
        bool byPath = false;
        for (const CarProblem& problem : problemsIn(pathFromText(folder), tool, byPath)) {
            if (arguments.format == Format::Json)
                found.push_back({{"car", asUtf8(problem.car)},
                                 {"folder", pathAsUtf8(problem.folder)},
                                 {"problem", asUtf8(problem.problem)}});
            else
                tool.out << (byPath ? escapedPath(problem.folder) : escaped(problem.car)) << ": "
                         << escaped(problem.problem) << '\n';
            ++count;
        }
    }
    if (arguments.format == Format::Json)
        printJson(tool.out, found);
    return count == 0 ? Success : Failure;
}

} // namespace

Command addCheckCommand(CLI::App& tool)
{
    auto arguments = std::make_shared<CheckArguments>();
    CLI::App* command = tool.add_subcommand(
        "check", "print each problem that would keep a car from being saved, or make a save lose or misplace "
                 "something, as CAR: PROBLEM (exit 1 when there is any); writes nothing");
    addFolderArguments(*command, "FOLDER", arguments->folders, "a racers folder, or car folders");
    addFormatOption(*command, arguments->format, {Format::Text, Format::Json});
    return {command, "check RACERS_FOLDER|CAR_FOLDER... [--format text|json]", "",
            [arguments](ToolContext& context) { return checkCars(*arguments, context); }};
}

} // namespace quendral::cli
