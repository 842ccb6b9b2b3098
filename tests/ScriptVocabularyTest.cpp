#include "carscript/ScriptVocabulary.h"

#include <gtest/gtest.h>

namespace quendral {
namespace {

TEST(EngineLineFamily, IsJudgedByTheEndOfTheField)
{
    EXPECT_EQ(engineLineFamily("attach    0x000400CE 1    ; i4 blocks"), EngineFamily::I4);
    EXPECT_EQ(engineLineFamily("attach    0x000400CF 1    ; v6 blocks"), EngineFamily::V6);
    EXPECT_EQ(engineLineFamily("attach    0x000400D0 1    ; v8 blocks"), EngineFamily::V8);
    EXPECT_EQ(engineLineFamily("attach    0x000400D1 1    ; v10 blocks"), EngineFamily::V10);
    EXPECT_EQ(engineLineFamily("v8 blocks"), EngineFamily::V8);
    EXPECT_EQ(engineLineFamily("anything, v6 blocks"), EngineFamily::V6);
}

TEST(EngineLineFamily, IsCaseSensitiveAndNeedsTheWholeEnd)
{
    EXPECT_EQ(engineLineFamily("attach    0x000400CE 1    ; I4 BLOCKS"), std::nullopt);
    EXPECT_EQ(engineLineFamily("attach    0x000400CE 1    ; i4 block"), std::nullopt);
    EXPECT_EQ(engineLineFamily("i4 blocks extra"), std::nullopt);
    EXPECT_EQ(engineLineFamily("4 blocks"), std::nullopt);
    EXPECT_EQ(engineLineFamily(""), std::nullopt);
}

TEST(WheelMarker, RecognisesTheFourMarkersExactly)
{
    EXPECT_EQ(wheelMarker("# FL wheel #"), Wheel::FrontLeft);
    EXPECT_EQ(wheelMarker("# FR wheel #"), Wheel::FrontRight);
    EXPECT_EQ(wheelMarker("# RL wheel #"), Wheel::RearLeft);
    EXPECT_EQ(wheelMarker("# RR wheel #"), Wheel::RearRight);
}

TEST(WheelMarker, RefusesNearMisses)
{
    EXPECT_EQ(wheelMarker("# fl wheel #"), std::nullopt);
    EXPECT_EQ(wheelMarker("# FL wheel"), std::nullopt);
    EXPECT_EQ(wheelMarker("# FL wheel ##"), std::nullopt);
    EXPECT_EQ(wheelMarker("# FL wheel !"), std::nullopt);
    EXPECT_EQ(wheelMarker("# XX wheel #"), std::nullopt);
    EXPECT_EQ(wheelMarker(""), std::nullopt);
}

} // namespace
} // namespace quendral
