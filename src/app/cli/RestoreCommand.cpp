#include "app/cli/CarSession.h"

#include "catalogue/FolderListing.h"

#include <CLI/App.hpp>

#include <memory>

namespace quendral::cli {

namespace {

struct RestoreArguments
{
    std::vector<std::string> car;
    std::vector<std::string> versions;
};

int restoreVersion(const RestoreArguments& arguments, ToolContext& tool)
{
    if (arguments.car.size() != 1 || arguments.versions.size() != 1)
        throw UsageProblem("restore takes one car folder and one version");
    const VersionName version = versionArgument(arguments.versions.front());
    CarSession session(tool);
    session.pickCar(pathFromText(arguments.car.front()));
    return session.editor().restore(version) ? Success : Failure;
}

} // namespace

Command addRestoreCommand(CLI::App& tool)
{
    auto arguments = std::make_shared<RestoreArguments>();
    CLI::App* restore = tool.add_subcommand(
        "restore", "make a version of a car's script its script, through a save that keeps the one it replaces");
    addFolderArguments(*restore, "CAR_FOLDER", arguments->car, "the car's folder")->expected(1)->allow_extra_args(false);
    restore->add_option("VERSION", arguments->versions, "the version")->type_name("");
    return {restore, "restore CAR_FOLDER VERSION", "",
            [arguments](ToolContext& context) { return restoreVersion(*arguments, context); }};
}

} // namespace quendral::cli
