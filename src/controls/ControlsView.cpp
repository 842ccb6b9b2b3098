#include "controls/ControlsView.h"

#include "controls/EditingControls.h"

namespace quendral {

std::vector<ScopedConnection> ControlsView::follow(EditingControls& controls)
{
    std::vector<ScopedConnection> connections;
    const auto connect = [&](ChangeSignal& signal, void (ControlsView::*part)()) {
        connections.push_back(signal.connect([this, part] { (this->*part)(); }));
    };
    connect(controls.driveChooser.changed, &ControlsView::showDrives);
    connect(controls.folderChooser.changed, &ControlsView::showFolder);
    connect(controls.folderChooser.changed, &ControlsView::followFolder);
    connect(controls.carList.itemsChanged, &ControlsView::showCars);
    connect(controls.carList.selectionChanged, &ControlsView::showSelectedCar);
    connect(controls.carList.itemsChanged, &ControlsView::updateCarActions);
    connect(controls.carList.selectionChanged, &ControlsView::updateCarActions);
    connect(controls.editingFrame.changed, &ControlsView::showEditingFrame);
    for (CheckBox* check : controls.engineChecks())
        connect(check->changed, &ControlsView::showEngineChecks);
    connect(controls.driveSystem.changed, &ControlsView::showDriveSystem);
    connect(controls.frontHeight.changed, &ControlsView::showSliders);
    connect(controls.rearHeight.changed, &ControlsView::showSliders);
    connect(controls.smallestWheel.changed, &ControlsView::showWheelSizes);
    connect(controls.largestWheel.changed, &ControlsView::showWheelSizes);
    return connections;
}

} // namespace quendral
