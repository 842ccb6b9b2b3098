#include "app/cli/CarSession.h"

#include "catalogue/FolderListing.h"

#include <CLI/App.hpp>

#include <memory>
#include <ostream>

namespace quendral::cli {

namespace {

struct DiffArguments
{
    std::vector<std::string> car;
    std::vector<std::string> versions;
};

std::string sideName(const VersionSide& side)
{
    return escapedPath(side.path) + '\t' + side.label;
}

int diffVersions(const DiffArguments& arguments, ToolContext& tool)
{
    if (arguments.car.size() != 1)
        throw UsageProblem("diff takes one car folder");
    if (arguments.versions.size() > 2)
        throw UsageProblem("diff takes at most two versions");
    const auto& words = arguments.versions;
    const VersionName from = words.empty() ? VersionName{VersionName::Kind::Backup, 0} : versionArgument(words[0]);
    const VersionName to = words.size() < 2 ? VersionName{} : versionArgument(words[1]);

    CarSession session(tool);
    session.pickCar(pathFromText(arguments.car.front()));
    Comparison comparison;
    if (!session.editor().compare(from, to, comparison))
        return Failure;
    tool.out << unifiedText(comparison.diff, sideName(comparison.from), sideName(comparison.to));
    return Success;
}

} // namespace

Command addDiffCommand(CLI::App& tool)
{
    auto arguments = std::make_shared<DiffArguments>();
    CLI::App* diff = tool.add_subcommand(
        "diff", "print the lines that differ from a version of a car's script (the backup when none is given) to "
                "the current script, or to a second version");
    addFolderArguments(*diff, "CAR_FOLDER", arguments->car, "the car's folder")->expected(1)->allow_extra_args(false);
    diff->add_option("VERSION", arguments->versions, "the versions")->type_name("");
    return {diff, "diff CAR_FOLDER [VERSION [VERSION]]",
            "VERSION is a number from history, or original, backup or current.",
            [arguments](ToolContext& context) { return diffVersions(*arguments, context); }};
}

} // namespace quendral::cli
