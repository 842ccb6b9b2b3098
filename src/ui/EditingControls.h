#pragma once

#include "ui/CheckBox.h"
#include "ui/DriveChooser.h"
#include "ui/FileList.h"
#include "ui/FolderChooser.h"
#include "ui/Frame.h"
#include "ui/ListBox.h"
#include "ui/OptionGroup.h"
#include "ui/Slider.h"
#include "ui/TextBox.h"

#include <array>

namespace quendral {

class MessagePresenter;

// The controls of the main window that hold a car's settings, and those the
// folder scan, the load and the save work with. They are the only store of
// the settings: the load writes them, the save reads them.
class EditingControls
{
public:
    static constexpr int RideHeightMinimum = 0;
    static constexpr int RideHeightMaximum = 30;
    static constexpr int LargestWheelSize = 21;

    // The maximum wheel-size check reports through the presenter, which must
    // outlive the controls.
    explicit EditingControls(MessagePresenter& messages);

    EditingControls(const EditingControls&) = delete;
    EditingControls& operator=(const EditingControls&) = delete;

    // Engine families I4, V6, V8, V10.
    CheckBox Check1, Check2, Check3, Check4;
    std::array<CheckBox*, 4> engineChecks() { return {&Check1, &Check2, &Check3, &Check4}; }
    std::array<const CheckBox*, 4> engineChecks() const { return {&Check1, &Check2, &Check3, &Check4}; }

    void clearEngineChecks();

    // Drive choice: Option1 Front, Option2 Rear, Option3 All, one group.
    OptionGroup driveSystem{3};
    OptionButton Option1{driveSystem, 0};
    OptionButton Option2{driveSystem, 1};
    OptionButton Option3{driveSystem, 2};

    // Front and rear ride height positions.
    Slider Slider1{RideHeightMinimum, RideHeightMaximum};
    Slider Slider2{RideHeightMinimum, RideHeightMaximum};

    // Smallest and largest wheel size, in inch.
    TextBox txtminw;
    TextBox txtmaxw;

    ListBox lstcars;
    Frame Frame3{false};
    FolderChooser Dir1;
    FileList File1;
    DriveChooser Drive1;

private:
    void checkMaximumWheelSize();

    MessagePresenter& m_messages;
};

} // namespace quendral
