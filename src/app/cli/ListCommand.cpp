#include "app/cli/Command.h"

#include "catalogue/CarTable.h"
#include "catalogue/FolderListing.h"
#include "editor/CarEditor.h"
#include "controls/EditingControls.h"

#include <CLI/App.hpp>

#include <memory>
#include <ostream>

namespace quendral::cli {

namespace {

int listCars(const std::vector<std::string>& folders, ToolContext& tool)
{
    if (folders.size() != 1)
        throw UsageProblem("list takes one racers folder");
    PrintedMessages messages(tool.err, "");
    EditingControls controls(messages);
    CarEditor editor(controls, messages, tool.fileSystem);
    if (!editor.openFolder(pathFromText(folders.front())))
        return Failure;
    if (!controls.editingFrame.isEnabled()) {
        tool.err << "quendral-car: " << escapedPath(controls.folderChooser.path())
                 << " is not a racers folder (its name must end in \"racers\" and it must hold .rpk car files)\n";
        return Failure;
    }
    const CarTable& table = editor.carTable();
    for (int i = 0; i < table.size(); ++i)
        tool.out << escaped(table.entry(i)->name) << '\t' << escapedPath(table.entry(i)->folder) << '\n';
    return Success;
}

} // namespace

Command addListCommand(CLI::App& tool)
{
    auto folders = std::make_shared<std::vector<std::string>>();
    CLI::App* list = tool.add_subcommand("list", "print each car of a racers folder: its name, a tab, its folder");
    addFolderArguments(*list, "RACERS_FOLDER", *folders, "the racers folder");
    return {list, "list RACERS_FOLDER", "", [folders](ToolContext& context) { return listCars(*folders, context); }};
}

} // namespace quendral::cli
