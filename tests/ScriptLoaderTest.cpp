#include "carscript/ScriptLoader.h"
#include "carscript/ScriptVocabulary.h"
#include "TestSupport.h"
#include "controls/EditingControls.h"

#include <gtest/gtest.h>

namespace quendral {
namespace {

using test::crlf;
using test::wheelBlock;

constexpr std::string_view FrontDriven = "1.000 1.000 1.000 0.000";
constexpr std::string_view FrontFree = "1.000 0.000 1.000 0.000";
constexpr std::string_view RearDriven = "0.000 1.000 1.000 1.000";
constexpr std::string_view RearFree = "0.000 0.000 1.000 1.000";

std::vector<std::string> joined(std::vector<std::vector<std::string>> parts)
{
    std::vector<std::string> lines;
    for (auto& part : parts)
        lines.insert(lines.end(), part.begin(), part.end());
    return lines;
}

class ScriptLoader : public testing::Test
{
protected:
    std::array<int, 4> checks() const
    {
        return {controls.engineI4.value(), controls.engineV6.value(), controls.engineV8.value(),
                controls.engineV10.value()};
    }

    void load(const std::vector<std::string>& lines) { loadCarSettings(crlf(lines), controls); }

    test::RecordingMessages messages;
    EditingControls controls{messages};
};

TEST_F(ScriptLoader, TicksExactlyTheEngineFamiliesFound)
{
    for (CheckBox* check : controls.engineChecks())
        check->setValue(1);
    load({"attach    0x000400CE 1    ; i4 blocks", "attach    0x000400D1 1    ; v10 blocks"});
    EXPECT_EQ(checks(), (std::array<int, 4>{1, 0, 0, 1}));

    load({"attach    0x000400CF 1    ; V6 BLOCKS", "; nothing here"});
    EXPECT_EQ(checks(), (std::array<int, 4>{0, 0, 0, 0}));

    load({"x, attach 0x000400D0 1 ; v8 blocks"});
    EXPECT_EQ(checks(), (std::array<int, 4>{0, 0, 1, 0}));
}

TEST_F(ScriptLoader, ReadsFrontLeftHeightAndWheelSizes)
{
    load(wheelBlock("# FL wheel #", "-0.450", FrontFree, 15, 18, "slottype    101"));
    EXPECT_EQ(controls.frontHeight.value(), 8);
    EXPECT_EQ(controls.smallestWheel.text(), "15");
    EXPECT_EQ(controls.largestWheel.text(), "18");
    EXPECT_EQ(controls.driveSystem.selected(), OptionGroup::None);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ScriptLoader, ABlockWithoutWheelSizesTakesTheMinimumFromTheSlotTypeLine)
{
    controls.largestWheel.setText("19");
    load(wheelBlock("# FL wheel #", "-0.500", FrontFree, 15, 14, "slottype    101"));
    EXPECT_EQ(controls.smallestWheel.text(), "01");
    EXPECT_EQ(controls.largestWheel.text(), "19");
}

TEST_F(ScriptLoader, ChoosesTheDriveFromBothLeftWheels)
{
    struct
    {
        std::string_view front;
        std::string_view rear;
        bool rearFirst;
        int expected;
    } cases[] = {
        {FrontDriven, RearFree, false, 0},  {FrontDriven, RearDriven, false, 2},
        {FrontFree, RearDriven, false, 1},  {FrontDriven, RearDriven, true, 0},
        {FrontFree, RearDriven, true, 1},
    };
    for (const auto& c : cases) {
        controls.frontDrive.setValue(true);
        auto front = wheelBlock("# FL wheel #", "-0.500", c.front, 15, 16, "slottype    101");
        auto rear = wheelBlock("# RL wheel #", "-0.50", c.rear, 15, 16, "slottype    103");
        load(c.rearFirst ? joined({rear, front}) : joined({front, rear}));
        EXPECT_EQ(controls.driveSystem.selected(), c.expected) << c.front << " / " << c.rear;
    }
}

TEST_F(ScriptLoader, KeepsWhatTheScriptDoesNotGive)
{
    controls.rearDrive.setValue(true);
    controls.rearHeight.setValue(12);
    load(wheelBlock("# FL wheel #", "-0.400", FrontFree, 16, 17, "slottype    101"));
    EXPECT_TRUE(controls.rearDrive.value());
    EXPECT_EQ(controls.rearHeight.value(), 12);
    EXPECT_EQ(controls.frontHeight.value(), 5);

    load({"; no wheels at all"});
    EXPECT_EQ(controls.frontHeight.value(), 5);
    EXPECT_EQ(controls.smallestWheel.text(), "16");
    EXPECT_EQ(controls.largestWheel.text(), "17");
}

TEST_F(ScriptLoader, ClampsHeightsOutsideTheSlidersRange)
{
    controls.frontHeight.setValue(9);
    controls.rearHeight.setValue(9);
    load(joined({wheelBlock("# FL wheel #", "-0.950", FrontFree, 15, 15, "slottype    101"),
                 wheelBlock("# RL wheel #", "-0.2x", RearFree, 15, 15, "slottype    103")}));
    EXPECT_EQ(controls.frontHeight.value(), 30);
    EXPECT_EQ(controls.rearHeight.value(), 0);

    load(wheelBlock("# FL wheel #", "-0.250", FrontFree, 15, 15, "slottype    101"));
    EXPECT_EQ(controls.frontHeight.value(), 0);
}

TEST_F(ScriptLoader, AMaximumAbove21IsRefusedWhileLoading)
{
    load(wheelBlock("# FL wheel #", "-0.500", FrontFree, 18, 23, "slottype    101"));
    EXPECT_EQ(controls.smallestWheel.text(), "18");
    EXPECT_EQ(controls.largestWheel.text(), "21");
    // Each stored size above 21 runs the check anew: 22, then 23.
    const test::ShownMessage maxSize{"Max size", "Maximal wheelsize is 21 inch!!!!"};
    EXPECT_EQ(messages.shown, (std::vector<test::ShownMessage>{maxSize, maxSize}));
}

TEST_F(ScriptLoader, EndsWhenTheDataEndsInsideAWheelBlock)
{
    // The last field is a wheel-size line: the run ends with it.
    auto lines = wheelBlock("# FL wheel #", "-0.500", FrontFree, 15, 17, "slottype    101");
    lines.pop_back();
    loadCarSettings(crlf(lines), controls);
    EXPECT_EQ(controls.largestWheel.text(), "17");

    // Fewer than five fields after the marker, and a stale field that is a
    // wheel-size line: the load still ends.
    loadCarSettings("# FL wheel #\r\nattach      0x00040103 1 ; 17", controls);
    EXPECT_EQ(controls.largestWheel.text(), "17");
    controls.rearHeight.setValue(5);
    loadCarSettings("# RL wheel #", controls);
    EXPECT_EQ(controls.rearHeight.value(), 0);  // the marker itself is read as the wheel line
    loadCarSettings("", controls);
    EXPECT_EQ(controls.rearHeight.value(), 0);
}

TEST_F(ScriptLoader, ReadsTheDemoCarsAsTheirAuthorsMeantThem)
{
    loadCarSettings(test::readBytes(std::filesystem::path(QUENDRAL_EXAMPLES_DIR) / "falcon_gt" / "scripts"
                                    / "_main_.cfg"),
                    controls);
    EXPECT_EQ(checks(), (std::array<int, 4>{1, 1, 0, 0}));
    EXPECT_TRUE(controls.frontDrive.value());
    EXPECT_EQ(controls.frontHeight.value(), 10);
    EXPECT_EQ(controls.rearHeight.value(), 7);
    EXPECT_EQ(controls.smallestWheel.text(), "15");
    EXPECT_EQ(controls.largestWheel.text(), "18");
}

} // namespace
} // namespace quendral
