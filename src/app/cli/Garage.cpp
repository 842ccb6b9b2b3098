#include "app/cli/Garage.h"

#include <ostream>

namespace quendral::cli {

bool readCarList(const std::filesystem::path& folder, ToolContext& tool, CarTable& cars)
{
    PrintedMessages messages(tool.err, "");
    EditingControls controls(messages);
    CarEditor editor(controls, messages, tool.fileSystem);
    if (!editor.openFolder(folder))
        return false;
    if (!controls.editingFrame.isEnabled()) {
        tool.err << "quendral-car: " << escapedPath(controls.folderChooser.path())
                 << " is not a racers folder (its name must end in \"racers\" and it must hold .rpk car files)\n";
        return false;
    }
    cars = editor.carTable();
    return true;
}

FreshCar::FreshCar(ToolContext& tool, const std::string& name, const std::filesystem::path& folder)
    : messages(tool.err, escaped(name) + ": "), controls(messages), editor(controls, messages, tool.fileSystem)
{
    editor.pickCarFolder(folder);
}

} // namespace quendral::cli
