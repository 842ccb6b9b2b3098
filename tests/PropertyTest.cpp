// The fuzz targets' properties (tests/support/Properties.h) on seeded
// inputs, so that every test run checks them: random well-formed car
// scripts saved with random settings, and random texts made of the pieces
// the editor recognises, blanks, commas and line ends of every kind.

#include "Properties.h"
#include "Support.h"
#include "app/cli/ConsoleLineEnds.h"
#include "app/cli/Json.h"
#include "history/LineDiff.h"

#include <sstream>

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

// Random lines from a few (and line ends): the diff turns the old into the new with fewest edits.
TEST(Properties, TheLineDiffIsAShortestEditScript)
{
    for (unsigned seed = 0; seed < 3000; ++seed) {
        std::mt19937 random(seed);
        std::array<std::vector<std::string>, 3> sides;  // old, new, and old with the diff applied
        std::array<std::string, 2> texts;
        for (std::size_t side = 0; side < 2; ++side)
            for (int i = std::uniform_int_distribution<int>(0, 14)(random); i > 0; --i)
                texts[side] += sides[side].emplace_back(std::array{"a\n", "b\n", "a\r\n", "c"}[random() % (i > 1 ? 3 : 4)]);
        std::size_t at = 0, edits = 0;
        for (const LineDiff::Line& line : diffLinesWithEnds(texts[0], texts[1]).lines) {
            for (std::size_t start = line.kind != LineDiff::Kind::Hunk ? at  // "@@ -3,2 +": from line 3; "-3,0": after it
                     : std::stoul(line.text.substr(4)) - (line.text.find(",0 +") == std::string::npos); at < start;)
                sides[2].push_back(sides[0][at++]);
            ASSERT_TRUE(line.kind == LineDiff::Kind::Hunk || line.kind == LineDiff::Kind::Added || line.text == sides[0].at(at++)) << seed;
            if (line.kind == LineDiff::Kind::Context || line.kind == LineDiff::Kind::Added)
                sides[2].push_back(line.text);
            edits += line.kind == LineDiff::Kind::Added || line.kind == LineDiff::Kind::Removed;
        }
        sides[2].insert(sides[2].end(), sides[0].begin() + static_cast<std::ptrdiff_t>(at), sides[0].end());
        ASSERT_EQ(sides[2], sides[1]) << seed;
        std::vector<std::vector<std::size_t>> common(sides[0].size() + 1, std::vector<std::size_t>(sides[1].size() + 1));
        for (std::size_t i = sides[0].size(); i-- > 0;)
            for (std::size_t j = sides[1].size(); j-- > 0;)
                common[i][j] = sides[0][i] == sides[1][j] ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
        ASSERT_EQ(edits, sides[0].size() + sides[1].size() - 2 * common[0][0]) << seed;
    }
}

// Text written to the console in pieces of any size, some of them empty and
// some a byte at a time: every bare line feed gets its carriage return, and
// once a document is printed for another program its bytes pass as they are.
TEST(Properties, ConsoleLinesEndInCrLfWhereverTheWritesSplitThem)
{
    for (unsigned seed = 0; seed < 2000; ++seed) {
        std::mt19937 random(seed);
        std::string text, expected;
        for (int i = std::uniform_int_distribution<int>(0, 30)(random); i > 0; --i)
            text += std::array{"a", "\r", "\n", "\r\n", "bc"}[random() % 5];
        for (std::size_t at = 0; at < text.size(); ++at)
            expected += text[at] == '\n' && (at == 0 || text[at - 1] != '\r') ? "\r\n" : text.substr(at, 1);
        std::stringbuf written;
        cli::ConsoleLineEnds console(written);
        std::ostream out(&console);
        const char* elsewhere = "\r\r";  // an empty write must not look at the byte before it
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t size = std::min<std::size_t>(random() % 5, text.size() - at);
            if (size == 1)
                out.put(text[at]);
            else
                out.write(size == 0 ? elsewhere + 1 : text.data() + at, static_cast<std::streamsize>(size));
            at += size;
        }
        cli::printJson(out, cli::Json::array({"x", "y"}));
        ASSERT_EQ(written.str(), expected + "[\n\"x\",\n\"y\"\n]\n") << testing::PrintToString(text);
    }
}

} // namespace
} // namespace quendral::test
