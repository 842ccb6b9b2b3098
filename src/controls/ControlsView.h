#pragma once

#include "controls/ScopedConnection.h"

#include <vector>

namespace quendral {

class EditingControls;

// What a front end shows of the controls model. follow() runs each part
// whenever the model changes, whether the user or the program changed it;
// the model's own handlers (the scan, the maximum wheel-size check) were
// connected first and have run by the time these show the result. The
// parts run while the connections follow() returns live: a front end keeps
// them as its last member, so that they go before anything the parts use.
class ControlsView
{
protected:
    ~ControlsView() = default;

    std::vector<ScopedConnection> follow(EditingControls& controls);

    virtual void showDrives() = 0;
    virtual void showFolder() = 0;
    // The drive chooser moves to the volume of the folder chosen.
    virtual void followFolder() = 0;
    virtual void showCars() = 0;
    virtual void showSelectedCar() = 0;
    // What the menus offer for the car picked, or for none.
    virtual void updateCarActions() = 0;
    virtual void showEditingFrame() = 0;
    virtual void showEngineChecks() = 0;
    virtual void showDriveSystem() = 0;
    virtual void showSliders() = 0;
    virtual void showWheelSizes() = 0;
};

} // namespace quendral
