#include "carscript/ByteSink.h"
#include "carscript/SaveSettings.h"
#include "carscript/ScriptRewriter.h"
#include "carscript/ScriptVocabulary.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace quendral {
namespace {

using test::crlf;

constexpr std::string_view FrontDriven = "1.000 1.000 1.000 0.000";
constexpr std::string_view FrontFree = "1.000 0.000 1.000 0.000";
constexpr std::string_view RearDriven = "0.000 1.000 1.000 1.000";
constexpr std::string_view RearFree = "0.000 0.000 1.000 1.000";

SaveSettings settings(int smallest = 15, int largest = 17)
{
    SaveSettings s;
    s.engines = {true, false, false, false};
    s.frontDriven = true;
    s.driveChosen = true;
    s.frontPosition = 10;
    s.rearPosition = 10;
    s.smallestWheel = smallest;
    s.largestWheel = largest;
    return s;
}

std::string rewrite(std::string_view script, const SaveSettings& s = settings())
{
    StringSink sink;
    std::string error;
    EXPECT_TRUE(rewriteScript(script, s, sink, error)) << error;
    return sink.data;
}

std::string rewriteError(std::string_view script)
{
    StringSink sink;
    std::string error;
    EXPECT_FALSE(rewriteScript(script, settings(), sink, error));
    return error;
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string demoScript(std::string_view frontFlags = FrontDriven, std::string_view rearFlags = RearFree)
{
    return test::carScript({std::string(engineLine(EngineFamily::I4)), std::string(engineLine(EngineFamily::V8))},
                           "-0.420", frontFlags, "-0.42", rearFlags, 16, 19);
}

TEST(ScriptRewriter, WritesTheChosenEngineLinesInOrderBeforeTheSlotDamageModeLine)
{
    SaveSettings s = settings();
    s.engines = {false, true, false, true};
    const auto lines = linesOf(rewrite(demoScript(), s));
    const auto entry = std::find(lines.begin(), lines.end(), "attach    0x00040010 1    ; engine_block");
    ASSERT_NE(entry, lines.end());
    EXPECT_EQ(*(entry + 1), engineLine(EngineFamily::V6));
    EXPECT_EQ(*(entry + 2), engineLine(EngineFamily::V10));
    EXPECT_EQ(*(entry + 3), "slotdmgmode 1");
}

TEST(ScriptRewriter, WritesTheWheelSizeRangeAndSlotTypeInEveryBlock)
{
    const std::string out = rewrite(demoScript(), settings(15, 17));
    const auto lines = linesOf(out);
    const struct
    {
        const char* marker;
        const char* slot;
        const char* next;
    } blocks[] = {{"# FL wheel #", "slottype    101", "# FR wheel #"},
                  {"# FR wheel #", "slottype    102", "# RL wheel #"},
                  {"# RL wheel #", "slottype    103", "# RR wheel #"},
                  {"# RR wheel #", "slottype    104", "; end"}};
    for (const auto& [marker, slot, next] : blocks) {
        const auto at = std::find(lines.begin(), lines.end(), marker);
        ASSERT_NE(at, lines.end()) << marker;
        EXPECT_EQ(*(at + 6), "attach      0x00040101 1 ; 15");
        EXPECT_EQ(*(at + 7), "attach      0x00040102 1 ; 16");
        EXPECT_EQ(*(at + 8), "attach      0x00040103 1 ; 17");
        EXPECT_EQ(*(at + 9), slot);
        EXPECT_EQ(*(at + 10), next);
    }
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "attach      0x00040104 1 ; 18"), 0);

    const auto single = linesOf(rewrite(demoScript(), settings(18, 18)));
    EXPECT_EQ(std::count(single.begin(), single.end(), "attach      0x00040104 1 ; 18"), 4);
    EXPECT_EQ(std::count_if(single.begin(), single.end(),
                            [](const std::string& l) { return l.starts_with("attach      0x0004010"); }),
              4);
}

TEST(ScriptRewriter, WritesHeightsAndWheelFlagsForEachDriveChoice)
{
    struct
    {
        bool front;
        bool rear;
        std::string_view frontFlags;
        std::string_view rearFlags;
    } cases[] = {{false, true, FrontFree, RearDriven},
                 {true, false, FrontDriven, RearFree},
                 {true, true, FrontDriven, RearDriven}};
    for (const auto& c : cases) {
        SaveSettings s = settings();
        s.frontDriven = c.front;
        s.rearDriven = c.rear;
        s.frontPosition = 0;
        s.rearPosition = 0;
        const auto lines = linesOf(rewrite(demoScript(), s));
        for (const std::string& line : lines) {
            if (!line.starts_with("suspension"))
                continue;
            const bool isFront = line.substr(13, 7) == " -0.300";
            EXPECT_TRUE(isFront || line.substr(13, 7) == " -0.30 ") << line;
            EXPECT_TRUE(line.ends_with(isFront ? c.frontFlags : c.rearFlags)) << line;
        }
    }
}

TEST(ScriptRewriter, KeepsWheelLinesWhenNoDriveIsChosenOrTheyAreTooShort)
{
    SaveSettings s = settings();
    s.driveChosen = false;
    s.frontDriven = false;
    const std::string script = demoScript(FrontFree, RearDriven);
    const auto kept = linesOf(rewrite(script, s));
    const auto original = linesOf(script);
    for (const std::string& line : original)
        if (line.starts_with("suspension")) {
            EXPECT_NE(std::find(kept.begin(), kept.end(), line), kept.end()) << line;
        }

    const std::string shortLine = "suspension    -0.500 1.000 1.000 1.000 0.000";
    const std::string out = rewrite(crlf({"# FL wheel #", "a", "b", shortLine, "d", "e", "slottype    101"}));
    EXPECT_EQ(linesOf(out)[3], shortLine);
}

TEST(ScriptRewriter, ReplacesTheCameraLineAndKeepsOtherCommaLinesWhole)
{
    const std::string out = rewrite(crlf({"colour 0.8, 0.1,0.1", "  ext_camera  95 0,1.6,0 0.0,0.9,-2.4    0,0.0,0.0   4",
                                          "dropped before steering help", "steerhelp   0.35, 2", "after"}));
    EXPECT_EQ(out, crlf({"colour 0.8, 0.1,0.1", std::string(vocabulary::FixedCameraLine), "steerhelp   0.35, 2",
                         "after"}));
}

TEST(ScriptRewriter, ALaterCameraLineLosesItsPiecesAndGetsNoSteeringHelp)
{
    const std::string out = rewrite(crlf({"ext_camera 1,2", "steerhelp 1", "x", "ext_camera  3 4,5,6 , 7", "y, z"}));
    const std::string fixed(vocabulary::FixedCameraLine);
    EXPECT_EQ(out, crlf({fixed, "steerhelp 1", "x", fixed, "y, z"}));
}

TEST(ScriptRewriter, AFieldLeftBehindByAWheelBlockIsKeptUnlessItIsTheSlotType)
{
    const std::string out = rewrite(crlf({"# FL wheel #", "a", "b", "short wheel", "d", "e", wheelSizeLine(20),
                                          "# FR wheel #", "f", "g", "short wheel", "h", "i", "slottype 9",
                                          "# RR wheel #", "j", "k", "short wheel", "l", "m", "kept, too"}),
                                    settings(15, 15));
    const std::string size = wheelSizeLine(15);
    EXPECT_EQ(out, crlf({"# FL wheel #", "a", "b", "short wheel", "d", "e", size, "slottype    101",
                         "# FR wheel #", "f", "g", "short wheel", "h", "i", size, "slottype    102",
                         "# RR wheel #", "j", "k", "short wheel", "l", "m", size, "slottype    104", "kept, too"}));
}

TEST(ScriptRewriter, TheDataEndingInsideTheWheelSizesEndsTheBlock)
{
    const std::string out = rewrite(crlf({"# RL wheel #", "a", "b", "c", "d", "e", wheelSizeLine(16)}), settings(16, 16));
    EXPECT_EQ(out, crlf({"# RL wheel #", "a", "b", "c", "d", "e", wheelSizeLine(16), "slottype    103"}));
    const std::string bare = rewrite(crlf({"# RL wheel #", "a", "b", "c", "d", "e"}), settings(16, 16));
    EXPECT_EQ(bare, out);
}

TEST(ScriptRewriter, RefusesAScriptThatEndsInsideASkip)
{
    EXPECT_NE(rewriteError("ext_camera 1, 2\r\nno steering help\r\n").find("steerhelp"), std::string::npos);
    EXPECT_NE(rewriteError("x ; engine_block\r\nattach 1 ; i4 blocks\r\n").find("slotdmgmode"),
              std::string::npos);
    EXPECT_NE(rewriteError("# FL wheel #\r\na\r\nb\r\nc\r\nd\r\n").find("wheel block"), std::string::npos);
}

TEST(ScriptRewriter, AnEngineEntryThatIsItsOwnSlotDamageModeLineIsNotDoubled)
{
    const std::string script = crlf({"slotdmgmode ; engine_block", "old", "slotdmgmode 1", "rest"});
    const std::string out = rewrite(script);
    EXPECT_EQ(out, crlf({"slotdmgmode ; engine_block", std::string(engineLine(EngineFamily::I4)), "slotdmgmode 1",
                         "rest"}));
    EXPECT_EQ(rewrite(out), out);
}

TEST(ScriptRewriter, ASecondSaveWithTheSameSettingsChangesNothing)
{
    const std::string messy = "\t; tabbed comment \ncolour 1,2 , 3\rext_camera 9,9\nsteerhelp 2\n"
                              + demoScript() + "ext_camera 8, 8\r\n# FL wheel #\na\nb\n"
                              + test::wheelLine("-0.700", FrontFree) + "\nd\ne\n" + wheelSizeLine(21)
                              + "\n# RR wheel #\nf,g\nh\n" + test::wheelLine("-0.70", RearFree) + "\ni\nlast";
    const std::string once = rewrite(messy);
    EXPECT_EQ(rewrite(once), once);
}

TEST(ScriptRewriter, AWheelSizeAtTheTopOfTheRangeEndsTheRun)
{
    constexpr int Top = std::numeric_limits<int>::max();
    const auto lines = linesOf(rewrite(crlf({"# FL wheel #", "a", "b", "c", "d", "e"}), settings(Top - 1, Top)));
    EXPECT_EQ(lines.size(), 9u);
}

TEST(ScriptRewriter, AnEmptyScriptStaysEmpty)
{
    EXPECT_EQ(rewrite(""), "");
}

} // namespace
} // namespace quendral
