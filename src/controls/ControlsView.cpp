#include "controls/ControlsView.h"

#include "controls/EditingControls.h"

namespace quendral {

void ControlsView::follow(EditingControls& controls)
{
    controls.driveChooser.changed.connect([this] { showDrives(); });
    controls.folderChooser.changed.connect([this] { showFolder(); });
    controls.folderChooser.changed.connect([this] { followFolder(); });
    controls.carList.itemsChanged.connect([this] { showCars(); });
    controls.carList.selectionChanged.connect([this] { showSelectedCar(); });
    controls.carList.itemsChanged.connect([this] { updateCarActions(); });
    controls.carList.selectionChanged.connect([this] { updateCarActions(); });
    controls.editingFrame.changed.connect([this] { showEditingFrame(); });
    for (CheckBox* check : controls.engineChecks())
        check->changed.connect([this] { showEngineChecks(); });
    controls.driveSystem.changed.connect([this] { showDriveSystem(); });
    controls.frontHeight.changed.connect([this] { showSliders(); });
    controls.rearHeight.changed.connect([this] { showSliders(); });
    controls.smallestWheel.changed.connect([this] { showWheelSizes(); });
    controls.largestWheel.changed.connect([this] { showWheelSizes(); });
}

} // namespace quendral
