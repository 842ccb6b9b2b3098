#include "TestSupport.h"
#include "ui/EditingControls.h"

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
            typed = controls.txtmaxw.text() + c;
            controls.txtmaxw.setText(typed);
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
    EXPECT_EQ(controls.Slider1.value(), 0);
    EXPECT_EQ(controls.Slider2.value(), 0);
    EXPECT_EQ(controls.txtminw.text(), "");
    EXPECT_EQ(controls.txtmaxw.text(), "");
    EXPECT_EQ(controls.lstcars.listIndex(), ListBox::NoSelection);
    EXPECT_FALSE(controls.Frame3.isEnabled());
}

TEST_F(EditingControlsTest, TypingAMaximumAbove21IsRefusedOnTheKeyThatMakesIt)
{
    type("2");
    EXPECT_TRUE(messages.shown.empty());
    type("2");
    EXPECT_EQ(messages.shown, (std::vector<test::ShownMessage>{{"Max size", "Maximal wheelsize is 21 inch!!!!"}}));
    EXPECT_EQ(controls.txtmaxw.text(), "21");
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
        controls.txtmaxw.setText("0");
        controls.txtmaxw.setText(c.text);
        EXPECT_EQ(messages.shown.size(), c.refused ? 1u : 0u) << c.text;
        EXPECT_EQ(controls.txtmaxw.text(), c.refused ? "21" : c.text) << c.text;
    }
}

TEST_F(EditingControlsTest, TheMinimumHasNoCheckWhileTyping)
{
    controls.txtminw.setText("99");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(EditingControlsTest, OptionButtonsFormOneGroup)
{
    controls.Option1.setValue(true);
    controls.Option3.setValue(true);
    EXPECT_FALSE(controls.Option1.value());
    EXPECT_FALSE(controls.Option2.value());
    EXPECT_TRUE(controls.Option3.value());
    controls.Option1.setValue(false);
    EXPECT_TRUE(controls.Option3.value());
    controls.Option3.setValue(false);
    EXPECT_EQ(controls.driveSystem.selected(), OptionGroup::None);
}

TEST_F(EditingControlsTest, SlidersTakeThe31PositionsAndClampTheRest)
{
    controls.Slider1.setValue(30);
    EXPECT_EQ(controls.Slider1.value(), 30);
    controls.Slider1.setValue(31);
    EXPECT_EQ(controls.Slider1.value(), 30);
    controls.Slider1.setValue(-15);
    EXPECT_EQ(controls.Slider1.value(), 0);
}

TEST_F(EditingControlsTest, ChangesAreSignalledOnlyWhenAValueChanges)
{
    int changes = 0;
    controls.Check2.changed.connect([&] { ++changes; });
    controls.Check2.setValue(1);
    controls.Check2.setValue(1);
    controls.Check2.setValue(0);
    EXPECT_EQ(changes, 2);
}

TEST_F(EditingControlsTest, TheCarListKeepsItsOrderAndSelection)
{
    controls.lstcars.addItem("zeta");
    controls.lstcars.addItem("alpha");
    controls.lstcars.setListIndex(1);
    EXPECT_EQ(controls.lstcars.items(), (std::vector<std::string>{"zeta", "alpha"}));
    EXPECT_EQ(controls.lstcars.listIndex(), 1);
    controls.lstcars.setListIndex(5);
    EXPECT_EQ(controls.lstcars.listIndex(), ListBox::NoSelection);
    controls.lstcars.setListIndex(0);
    int selectionChanges = 0;
    controls.lstcars.selectionChanged.connect([&] { ++selectionChanges; });
    controls.lstcars.clear();
    EXPECT_EQ(controls.lstcars.listIndex(), ListBox::NoSelection);
    EXPECT_EQ(selectionChanges, 1);
}

} // namespace
} // namespace quendral
