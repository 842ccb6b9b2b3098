#include "TestSupport.h"
#include "controls/EditingControls.h"

#include <gtest/gtest.h>

namespace quendral {
namespace {

class EditingControlsTest : public testing::Test
{
protected:
    void type(std::string_view text)
    {
        std::string typed;
        for (const char c : text) {
            typed = controls.largestWheel.text() + c;
            controls.largestWheel.setText(typed);
        }
    }

    test::RecordingMessages messages;
    EditingControls controls{messages};
};

TEST_F(EditingControlsTest, StartEmptyUncheckedAndDisabled)
{
    for (const CheckBox* check : controls.engineChecks())
        EXPECT_EQ(check->value(), 0);
    EXPECT_EQ(controls.driveSystem.selected(), OptionGroup::None);
    EXPECT_EQ(controls.frontHeight.value(), 0);
    EXPECT_EQ(controls.rearHeight.value(), 0);
    EXPECT_EQ(controls.smallestWheel.text(), "");
    EXPECT_EQ(controls.largestWheel.text(), "");
    EXPECT_EQ(controls.carList.listIndex(), ListBox::NoSelection);
    EXPECT_FALSE(controls.editingFrame.isEnabled());
}

TEST_F(EditingControlsTest, TypingAMaximumAbove21IsRefusedOnTheKeyThatMakesIt)
{
    type("2");
    EXPECT_TRUE(messages.shown.empty());
    type("2");
    EXPECT_EQ(messages.shown, (std::vector<test::ShownMessage>{{"Max size", "Maximal wheelsize is 21 inch!!!!"}}));
    EXPECT_EQ(controls.largestWheel.text(), "21");
}

TEST_F(EditingControlsTest, MaximumCheckJudgesTheTextAsANumber)
{
    const struct
    {
        const char* text;
        bool refused;
    } cases[] = {{"21", false}, {"21.5", true}, {"20.5", false}, {"-40", false}, {"", false},
                 {"abc", false}, {"99999", true}, {"-99999", false}, {" 22 ", true}};
    for (const auto& c : cases) {
        messages.shown.clear();
        controls.largestWheel.setText("0");
        controls.largestWheel.setText(c.text);
        EXPECT_EQ(messages.shown.size(), c.refused ? 1u : 0u) << c.text;
        EXPECT_EQ(controls.largestWheel.text(), c.refused ? "21" : c.text) << c.text;
    }
}

TEST_F(EditingControlsTest, TheMinimumHasNoCheckWhileTyping)
{
    controls.smallestWheel.setText("99");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(EditingControlsTest, OptionButtonsFormOneGroup)
{
    controls.frontDrive.setValue(true);
    controls.allDrive.setValue(true);
    EXPECT_FALSE(controls.frontDrive.value());
    EXPECT_FALSE(controls.rearDrive.value());
    EXPECT_TRUE(controls.allDrive.value());
    controls.frontDrive.setValue(false);
    EXPECT_TRUE(controls.allDrive.value());
    controls.allDrive.setValue(false);
    EXPECT_EQ(controls.driveSystem.selected(), OptionGroup::None);
}

TEST_F(EditingControlsTest, SlidersTakeThe31PositionsAndClampTheRest)
{
    controls.frontHeight.setValue(30);
    EXPECT_EQ(controls.frontHeight.value(), 30);
    controls.frontHeight.setValue(31);
    EXPECT_EQ(controls.frontHeight.value(), 30);
    controls.frontHeight.setValue(-15);
    EXPECT_EQ(controls.frontHeight.value(), 0);
}

TEST_F(EditingControlsTest, ChangesAreSignalledOnlyWhenAValueChanges)
{
    int changes = 0;
    controls.engineV6.changed.connect([&] { ++changes; });
    controls.engineV6.setValue(1);
    controls.engineV6.setValue(1);
    controls.engineV6.setValue(0);
    EXPECT_EQ(changes, 2);
}

TEST_F(EditingControlsTest, TheCarListKeepsItsOrderAndSelection)
{
    controls.carList.addItem("zeta");
    controls.carList.addItem("alpha");
    controls.carList.setListIndex(1);
    EXPECT_EQ(controls.carList.items(), (std::vector<std::string>{"zeta", "alpha"}));
    EXPECT_EQ(controls.carList.listIndex(), 1);
    controls.carList.setListIndex(5);
    EXPECT_EQ(controls.carList.listIndex(), ListBox::NoSelection);
    controls.carList.setListIndex(0);
    int selectionChanges = 0;
    controls.carList.selectionChanged.connect([&] { ++selectionChanges; });
    controls.carList.clear();
    EXPECT_EQ(controls.carList.listIndex(), ListBox::NoSelection);
    EXPECT_EQ(selectionChanges, 1);
}

} // namespace
} // namespace quendral
