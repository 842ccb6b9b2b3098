#include "carscript/CarFiles.h"
#include "carscript/RideHeight.h"
#include "carscript/ScriptVocabulary.h"
#include "carscript/WheelLine.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace quendral {
namespace {

constexpr std::string_view FrontDriven = "1.000 1.000 1.000 0.000";
constexpr std::string_view FrontFree = "1.000 0.000 1.000 0.000";

struct HeightCase
{
    const char* height;
    int position;
    friend void PrintTo(const HeightCase& c, std::ostream* os) { *os << c.height; }
};

class RideHeightReading : public testing::TestWithParam<HeightCase>
{
};

TEST_P(RideHeightReading, MapsCharacters15To20ToAPosition)
{
    EXPECT_EQ(rideHeightPosition(test::wheelLine(GetParam().height, FrontDriven)), GetParam().position);
}

INSTANTIATE_TEST_SUITE_P(
    HalvesToEven, RideHeightReading,
    testing::Values(HeightCase{"-0.300", 0}, HeightCase{"-0.310", 0}, HeightCase{"-0.330", 2},
                    HeightCase{"-0.350", 2}, HeightCase{"-0.370", 4}, HeightCase{"-0.450", 8},
                    HeightCase{"-0.500", 10}, HeightCase{"-0.900", 30}, HeightCase{"-0.250", -2},
                    HeightCase{"0.450 ", 8}, HeightCase{"abcdef", -15}, HeightCase{"-0.3xx", -15}));

TEST(RideHeight, EveryPositionReadsBackOnBothAxles)
{
    for (const Axle axle : {Axle::Front, Axle::Rear}) {
        for (int p = 0; p <= 30; ++p) {
            const auto line = rebuildWheelLine(test::wheelLine("-0.300", FrontDriven), axle, p, true);
            ASSERT_TRUE(line);
            EXPECT_EQ(rideHeightPosition(*line), p) << *line;
        }
    }
}

TEST(RideHeight, ShortLinesReadWhatTheyHave)
{
    EXPECT_EQ(rideHeightPosition("-0.4"), 5);
    EXPECT_EQ(rideHeightPosition("xxxxxxxxxxxxxx-0.700"), 20);
}

TEST(WheelLine, RebuildKeepsBothEndsAndWritesHeightAndFlags)
{
    const std::string old = test::wheelLine("-0.420", FrontDriven);
    const auto front = rebuildWheelLine(old, Axle::Front, 10, false);
    ASSERT_TRUE(front);
    EXPECT_EQ(front->substr(0, 13), old.substr(0, 13));
    EXPECT_EQ(front->substr(13, 7), " -0.500");
    EXPECT_EQ(front->substr(front->size() - 49, 26), old.substr(old.size() - 49, 26));
    EXPECT_TRUE(front->ends_with(FrontFree));

    const auto rear = rebuildWheelLine(old, Axle::Rear, 10, true);
    ASSERT_TRUE(rear);
    EXPECT_EQ(rear->substr(13, 6), " -0.50");
    EXPECT_EQ(rear->substr(19, 26), old.substr(old.size() - 49, 26));
    EXPECT_TRUE(rear->ends_with("0.000 1.000 1.000 1.000"));
}

TEST(WheelLine, TooShortToHoldTheKeptPartsIsNotRebuilt)
{
    EXPECT_FALSE(rebuildWheelLine(std::string(61, 'x'), Axle::Front, 0, true));
    EXPECT_TRUE(rebuildWheelLine(std::string(62, 'x'), Axle::Front, 0, true));
}

TEST(WheelLine, DriveFlagIsTheFirstOfTheLast17Characters)
{
    EXPECT_TRUE(isDrivenWheelLine(test::wheelLine("-0.500", FrontDriven)));
    EXPECT_FALSE(isDrivenWheelLine(test::wheelLine("-0.500", FrontFree)));
    EXPECT_TRUE(isDrivenWheelLine("1"));
    EXPECT_FALSE(isDrivenWheelLine(""));
    EXPECT_FALSE(isDrivenWheelLine("0.000 1.000 1.000 1.000 x"));
}

TEST(Vocabulary, WheelSizeLinesCountFrom14)
{
    EXPECT_EQ(wheelSizeLine(14), "attach      0x00040100 1 ; 14");
    EXPECT_EQ(wheelSizeLine(21), "attach      0x00040107 1 ; 21");
}

TEST(Vocabulary, RecognisesFieldsExactlyAndCaseSensitively)
{
    EXPECT_EQ(engineLineFamily("attach    0x000400D1 1    ; v10 blocks"), EngineFamily::V10);
    EXPECT_EQ(engineLineFamily("v6 blocks"), EngineFamily::V6);
    EXPECT_EQ(engineLineFamily("attach    0x000400CE 1    ; I4 BLOCKS"), std::nullopt);
    EXPECT_EQ(engineLineFamily("blocks"), std::nullopt);
    EXPECT_EQ(wheelMarker("# RL wheel #"), Wheel::RearLeft);
    EXPECT_EQ(wheelMarker("# rl wheel #"), std::nullopt);
    EXPECT_EQ(wheelMarker("# RL wheel # "), std::nullopt);
    EXPECT_TRUE(isCameraLine("ext_camera  120 0"));
    EXPECT_FALSE(isCameraLine("ext_camer"));
    EXPECT_TRUE(isEngineBlockEntry("attach 1 ; engine_block"));
    EXPECT_FALSE(isEngineBlockEntry("engine_blocks"));
    for (const EngineFamily family : EngineFamilies)
        EXPECT_EQ(engineLineFamily(engineLine(family)), family);
}

TEST(CarFiles, UseThePlatformsSeparator)
{
    const std::filesystem::path car = std::filesystem::path("racers") / "falcon";
    const char separator = std::filesystem::path::preferred_separator;
    const std::string expected = car.string() + separator + "scripts" + separator;
    EXPECT_EQ(carScriptPath(car).string(), expected + "_main_.cfg");
    EXPECT_EQ(backupScriptPath(car).string(), expected + "_main_backup.cfg");
}

} // namespace
} // namespace quendral
