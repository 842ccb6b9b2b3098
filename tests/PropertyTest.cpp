// The fuzz targets' properties (tests/support/Properties.h) on seeded
// inputs, so that every test run checks them: random well-formed car
// scripts saved with random settings, and random texts made of the pieces
// the editor recognises, blanks, commas and line ends of every kind.

#include "Properties.h"
#include "Support.h"

#include <gtest/gtest.h>

namespace quendral::test {
namespace {

TEST(Properties, HoldOnRandomWellFormedScripts)
{
    for (unsigned seed = 0; seed < 2000; ++seed) {
        std::mt19937 random(seed);
        const std::string script = randomCarScript(random);
        const CarSettings settings = randomSettings(random);
        ASSERT_EQ(violation([&] { checkRoundTrip(script, settings); }), "") << "seed " << seed << ":\n" << script;
        ASSERT_EQ(violation([&] { checkLoad(script); }), "") << "seed " << seed;
    }
}

TEST(Properties, HoldOnRandomTexts)
{
    const std::vector<std::string> pieces = {
        "ext_camera 1", "steerhelp", "x ; engine_block", "slotdmgmode", "attach 1 ; v8 blocks", "; i4 blocks",
        "# FL wheel #", "# RL wheel #", "attach 2", "slottype 9", "suspension    -0.500 0.120 0.080 0.250 2.1000 "
        "1.000 1.000 1.000 0.000", "-0.3", "a", " ", "\t", ",", "\r\n", "\n", "\r", std::string(1, '\0')};
    for (unsigned seed = 0; seed < 3000; ++seed) {
        std::mt19937 random(seed);
        std::string script;
        for (int i = std::uniform_int_distribution<int>(0, 60)(random); i > 0; --i)
            script += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
        const CarSettings settings = randomSettings(random);
        ASSERT_EQ(violation([&] { checkFieldReader(script); }), "") << testing::PrintToString(script);
        ASSERT_EQ(violation([&] { checkLoad(script); }), "") << testing::PrintToString(script);
        ASSERT_EQ(violation([&] { checkRewrite(script, settings); }), "") << testing::PrintToString(script);
        ASSERT_EQ(violation([&] { checkRoundTrip(randomCarScript(random, plainLines(script)), settings); }), "")
            << testing::PrintToString(script);
    }
}

} // namespace
} // namespace quendral::test
