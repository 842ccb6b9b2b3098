#pragma once

#include "controls/ControlsView.h"

#include <QObject>

#include <functional>
#include <vector>

class QSlider;
class QStatusBar;

namespace quendral {

class DriveButtons;
class EditingControls;
class MainWindowForm;

// The controls model and the main window's widgets, kept alike: the user's
// edits go into the model, and the model's changes, whether the user's or
// the program's, are shown once follow() has connected them, for as long as
// the binding lives.
// `carActionsChanged` runs when the cars listed or the car picked change.
class ControlsBinding : public QObject, public ControlsView
{
public:
    ControlsBinding(EditingControls& controls, MainWindowForm& form, QStatusBar& statusBar,
                    std::function<void()> carActionsChanged, QObject* parent);

    void follow();

    void showDrives() override;
    void showFolder() override;
    void showDriveSystem() override;

private:
    void followFolder() override;
    void showCars() override;
    void showSelectedCar() override;
    void updateCarActions() override;
    void showEditingFrame() override;
    void showEngineChecks() override;
    void showSliders() override;
    void showWheelSizes() override;
    void showSliderValue(QSlider* slider, int value);

    EditingControls& m_controls;
    MainWindowForm& m_form;
    QStatusBar& m_statusBar;
    std::function<void()> m_carActionsChanged;
    DriveButtons* m_driveButtons;
    std::vector<ScopedConnection> m_followed;
};

} // namespace quendral
