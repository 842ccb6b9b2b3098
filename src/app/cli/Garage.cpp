#include "app/cli/Garage.h"

#include "app/cli/CarSession.h"

#include <ostream>

namespace quendral::cli {

bool readCarList(const std::filesystem::path& folder, ToolContext& tool, CarTable& cars)
{
    CarSession session(tool);
    if (!session.openFolder(folder))
        return false;
    if (!session.isRacersFolder()) {
        tool.err << "quendral-car: " << escapedPath(session.folder())
                 << " is not a racers folder (its name must end in \"racers\" and it must hold .rpk car files)\n";
        return false;
    }
    cars = session.editor().carTable();
    return true;
}

} // namespace quendral::cli
