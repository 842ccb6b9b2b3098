#include "carscript/ByteSink.h"
#include "carscript/SaveSettings.h"
#include "carscript/ScriptRewriter.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace quendral {
namespace {

// A script in, the settings of a save, and the script that must come out,
// byte for byte: tests/golden/NAME.in.cfg and NAME.out.cfg.
struct GoldenCase
{
    const char* name;
    SaveSettings settings;
    friend void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name; }
};

SaveSettings make(std::array<bool, 4> engines, bool front, bool rear, int frontPosition, int rearPosition,
                  int smallest, int largest)
{
    SaveSettings s;
    s.engines = engines;
    s.frontDriven = front;
    s.rearDriven = rear;
    s.driveChosen = front || rear;
    s.frontPosition = frontPosition;
    s.rearPosition = rearPosition;
    s.smallestWheel = smallest;
    s.largestWheel = largest;
    return s;
}

class GoldenSave : public testing::TestWithParam<GoldenCase>
{
};

TEST_P(GoldenSave, WritesTheExpectedScript)
{
    const std::filesystem::path folder(QUENDRAL_GOLDEN_DIR);
    const std::string input = test::readBytes(folder / (std::string(GetParam().name) + ".in.cfg"));
    const std::string expected = test::readBytes(folder / (std::string(GetParam().name) + ".out.cfg"));
    ASSERT_FALSE(input.empty());
    ASSERT_FALSE(expected.empty());

    StringSink sink;
    std::string error;
    ASSERT_TRUE(rewriteScript(input, GetParam().settings, sink, error)) << error;
    EXPECT_EQ(sink.data, expected);

    StringSink again;
    ASSERT_TRUE(rewriteScript(sink.data, GetParam().settings, again, error)) << error;
    EXPECT_EQ(again.data, expected) << "a second save must change nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, GoldenSave,
    testing::Values(
        // The demo car: V6 and V10, rear drive, front 12, rear 3, 15 to 17 inch.
        GoldenCase{"falcon_gt", make({false, true, false, true}, false, true, 12, 3, 15, 17)},
        // Hand-edited: LF and CR line ends, tabs, trailing blanks, comma
        // lines, a second camera line, a block without slot type line,
        // a short wheel line and no final line end. All wheels driven.
        GoldenCase{"hand_edited", make({true, false, true, false}, true, true, 0, 30, 14, 21)},
        // No drive option set: every wheel line stays as it was.
        GoldenCase{"no_drive", make({false, false, false, false}, false, false, 5, 5, 16, 16)}),
    [](const testing::TestParamInfo<GoldenCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace quendral
