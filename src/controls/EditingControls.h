#pragma once

#include "controls/CheckBox.h"
#include "controls/DriveChooser.h"
#include "controls/FileList.h"
#include "controls/FolderChooser.h"
#include "controls/Frame.h"
#include "controls/ListBox.h"
#include "controls/OptionGroup.h"
#include "controls/Slider.h"
#include "controls/TextBox.h"

#include "settings/CarSettings.h"
#include "settings/ScriptSettings.h"

#include <array>

namespace quendral {

class MessagePresenter;

// The controls of the main window that hold a car's settings, and those the
// folder scan, the load and the save work with. They are the only store of
// the settings: the load writes them, the save reads them.
class EditingControls
{
public:
    // The maximum wheel-size check reports through the presenter, which must
    // outlive the controls.
    explicit EditingControls(MessagePresenter& messages);

    EditingControls(const EditingControls&) = delete;
    EditingControls& operator=(const EditingControls&) = delete;

    // The engine families the car takes (the window's Check1 to Check4).
    CheckBox engineI4, engineV6, engineV8, engineV10;
    std::array<CheckBox*, 4> engineChecks() { return {&engineI4, &engineV6, &engineV8, &engineV10}; }
    std::array<const CheckBox*, 4> engineChecks() const { return {&engineI4, &engineV6, &engineV8, &engineV10}; }

    void clearEngineChecks();

    // The settings the controls show.
    CarSettings settings() const;

    // Shows settings: a ride height outside 0 to 30 at its nearest end, a
    // largest wheel size above 21 told and shown as 21, and with no drive
    // no drive button set.
    void show(const CarSettings& settings);

    // Shows what a car script gives over what the controls show (see
    // ScriptSettings::over), and tells each largest wheel size above 21
    // that it gives.
    void show(const ScriptSettings& script);

    // The wheel sizes a save needs: whole numbers, the smallest at least 14
    // (a smaller one is corrected, with a message) and the largest not below
    // it. False after telling the user through `messages` what is wrong.
    bool checkWheelSizes(MessagePresenter& messages);

    // The driven axle: Front, Rear or All (Option1 to Option3), one group.
    OptionGroup driveSystem{3};
    OptionButton frontDrive{driveSystem, 0};
    OptionButton rearDrive{driveSystem, 1};
    OptionButton allDrive{driveSystem, 2};

    // Front and rear ride height positions (Slider1, Slider2).
    Slider frontHeight{RideHeightMinimum, RideHeightMaximum};
    Slider rearHeight{RideHeightMinimum, RideHeightMaximum};

    // Smallest and largest wheel size, in inch (txtminw, txtmaxw).
    TextBox smallestWheel;
    TextBox largestWheel;

    ListBox carList;              // lstcars
    Frame editingFrame{false};    // Frame3
    FolderChooser folderChooser;  // Dir1
    FileList fileList;            // File1
    DriveChooser driveChooser;    // Drive1

private:
    void checkMaximumWheelSize();

    MessagePresenter& m_messages;
    ScopedConnection m_wheelCheck;
};

} // namespace quendral
