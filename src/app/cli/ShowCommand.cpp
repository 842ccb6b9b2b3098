#include "app/cli/Command.h"

#include "carscript/ScriptVocabulary.h"
#include "catalogue/FolderListing.h"
#include "editor/CarEditor.h"
#include "controls/EditingControls.h"

#include <CLI/App.hpp>

#include <memory>
#include <ostream>

namespace quendral::cli {

namespace {

std::string_view driveName(const EditingControls& controls)
{
    if (controls.frontDrive.value())
        return "front";
    if (controls.rearDrive.value())
        return "rear";
    if (controls.allDrive.value())
        return "all";
    return "none";
}

void printSettings(const EditingControls& controls, std::ostream& out)
{
    out << "engines:";
    const auto checks = controls.engineChecks();
    for (const EngineFamily family : EngineFamilies)
        if (checks[static_cast<std::size_t>(familyIndex(family))]->isChecked())
            out << ' ' << familyName(family);
    out << "\ndrive: " << driveName(controls) << "\nfront: " << controls.frontHeight.value()
        << "\nrear: " << controls.rearHeight.value() << "\nmin: " << controls.smallestWheel.text()
        << "\nmax: " << controls.largestWheel.text() << '\n';
}

int showCar(const std::vector<std::string>& folders, ToolContext& tool)
{
    if (folders.size() != 1)
        throw UsageProblem("show takes one car folder");
    PrintedMessages messages(tool.err, "");
    EditingControls controls(messages);
    CarEditor editor(controls, messages, tool.fileSystem);
    editor.pickCarFolder(pathFromText(folders.front()));
    if (!editor.loadSelectedCar())
        return Failure;
    printSettings(controls, tool.out);
    return Success;
}

} // namespace

Command addShowCommand(CLI::App& tool)
{
    auto folders = std::make_shared<std::vector<std::string>>();
    CLI::App* show = tool.add_subcommand("show", "print the settings the editor shows for a car");
    addFolderArguments(*show, "CAR_FOLDER", *folders, "the car's folder");
    return {show, "show CAR_FOLDER", "", [folders](ToolContext& context) { return showCar(*folders, context); }};
}

} // namespace quendral::cli
