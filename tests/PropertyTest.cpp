// The fuzz targets' properties (tests/support/Properties.h) on seeded
// inputs, so that every test run checks them: random well-formed car
// scripts saved with random settings, and random texts made of the pieces
// the editor recognises, blanks, commas and line ends of every kind.

#include "Properties.h"
#include "Support.h"
#include "app/cli/ConsoleLineEnds.h"
#include "app/cli/Json.h"
#include "carscript/FileComparison.h"
#include "carscript/FileSystem.h"
#include "history/LineDiff.h"

#include <algorithm>
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

// The new lines a diff makes of the old ones, checking the old lines it
// names and where each hunk says it starts, on both sides; counts the edits.
std::vector<std::string> applied(const std::vector<std::string>& old, const LineDiff& diff, std::size_t& edits)
{
    std::vector<std::string> made;
    std::size_t at = 0;
    for (const LineDiff::Line& line : diff.lines) {
        if (line.kind == LineDiff::Kind::Hunk) {
            // "@@ -3,2 +4 @@": from line 3, and line 4 of the new; "-3,0": after line 3
            const std::size_t start = std::stoul(line.text.substr(4)) - (line.text.find(",0 +") == std::string::npos);
            while (at < start)
                made.push_back(old.at(at++));
            const std::string added = line.text.substr(line.text.find(" +") + 2);
            EXPECT_EQ(std::stoul(added) - (added.find(",0 @@") == std::string::npos), made.size()) << line.text;
            continue;
        }
        if (line.kind != LineDiff::Kind::Added) {
            EXPECT_EQ(line.text, old.at(at++));
        }
        if (line.kind != LineDiff::Kind::Removed)
            made.push_back(line.text);
        edits += line.kind != LineDiff::Kind::Context;
    }
    made.insert(made.end(), old.begin() + static_cast<std::ptrdiff_t>(at), old.end());
    return made;
}

// Random lines from a few (and line ends): the diff turns the old into the new with fewest edits.
TEST(Properties, TheLineDiffIsAShortestEditScript)
{
    for (unsigned seed = 0; seed < 3000; ++seed) {
        std::mt19937 random(seed);
        std::array<std::vector<std::string>, 2> sides;  // old and new
        std::array<std::string, 2> texts;
        for (std::size_t side = 0; side < 2; ++side)
            for (int i = std::uniform_int_distribution<int>(0, 14)(random); i > 0; --i)
                texts[side] += sides[side].emplace_back(std::array{"a\n", "b\n", "a\r\n", "c"}[random() % (i > 1 ? 3 : 4)]);
        std::size_t edits = 0;
        ASSERT_EQ(applied(sides[0], diffLinesWithEnds(texts[0], texts[1]), edits), sides[1]) << seed;
        std::vector<std::vector<std::size_t>> common(sides[0].size() + 1, std::vector<std::size_t>(sides[1].size() + 1));
        for (std::size_t i = sides[0].size(); i-- > 0;)
            for (std::size_t j = sides[1].size(); j-- > 0;)
                common[i][j] = sides[0][i] == sides[1][j] ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
        ASSERT_EQ(edits, sides[0].size() + sides[1].size() - 2 * common[0][0]) << seed;
    }
}

// Two orders of the same 5,000 lines cost more than the diff looks for the
// shortest edit: it settles for a short one, which still makes the new. A
// common head, behind a line the new has moved to its end, takes the search
// forwards.
TEST(Properties, TheLineDiffOfScrambledLinesStillMakesTheNew)
{
    for (const int head : {0, 2000}) {
        std::mt19937 random(7);
        std::array<std::vector<std::string>, 2> sides;
        std::array<std::string, 2> texts;
        for (std::size_t side = 0; side < 2; ++side) {
            for (int line = 0; line < 5000; ++line)
                sides[side].push_back(std::to_string(line) + "\n");
            std::shuffle(sides[side].begin(), sides[side].end(), random);
            for (int line = head; line-- > 0;)
                sides[side].insert(sides[side].begin(), "head " + std::to_string(line) + "\n");
            if (head)
                sides[side].insert(side == 0 ? sides[side].begin() : sides[side].end(), "moved\n");
            for (const std::string& line : sides[side])
                texts[side] += line;
        }
        std::size_t edits = 0;
        EXPECT_EQ(applied(sides[0], diffLinesWithEnds(texts[0], texts[1]), edits), sides[1]) << head;
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

// A file of given bytes that hands out fewer than asked at random, and
// fails at its Nth read where N is not 0.
class ShortReads final : public FileReader
{
public:
    ShortReads(std::string bytes, std::mt19937& random, int failAt)
        : m_bytes(std::move(bytes)), m_random(random), m_failAt(failAt)
    {
    }
    std::optional<std::size_t> read(char* room, std::size_t size) override
    {
        if (++m_reads == m_failAt)
            return std::nullopt;
        const std::size_t count = std::min({size, m_bytes.size() - m_at, std::size_t{1} + m_random() % 4});
        std::copy_n(m_bytes.data() + m_at, count, room);
        m_at += count;
        return count;
    }
    std::string errorString() const override { return "Input/output error"; }
    bool failed() const { return m_failAt > 0 && m_reads >= m_failAt; }

private:
    std::string m_bytes;
    std::size_t m_at = 0;
    std::mt19937& m_random;
    int m_reads = 0;
    int m_failAt;
};

// Files compared a piece at a time, whatever their reads return: the same
// answer as comparing them whole, and never an answer past a failed read.
TEST(Properties, FilesComparedInPiecesAreTheSameExactlyWhenTheirBytesAre)
{
    for (unsigned seed = 0; seed < 3000; ++seed) {
        std::mt19937 random(seed);
        std::string a(random() % 12, 'a');
        for (char& c : a)
            c = static_cast<char>('a' + random() % 3);
        std::string b = a;
        if (const unsigned change = random() % 4; change == 0 && !b.empty())
            b[random() % b.size()] ^= 1;
        else if (change == 1)
            b.resize(random() % (b.size() + 2), 'a');
        const std::size_t pieceSize = 1 + random() % 5;
        const int failAt = random() % 3 == 0 ? 1 + static_cast<int>(random() % 12) : 0;
        bool same = false;
        std::string error;
        const auto check = [&](bool done, bool failed) {
            if (done)
                ASSERT_TRUE(same == (a == b) && !failed) << "seed " << seed;
            else
                ASSERT_TRUE(failed && error == "Input/output error") << "seed " << seed << ": " << error;
        };
        ShortReads file(a, random, failAt);
        const bool held = holdsBytes(file, b, same, error, pieceSize);
        check(held, file.failed());
        ShortReads first(b, random, random() % 2 == 0 ? failAt : 0), second(a, random, failAt);
        same = false;
        error.clear();
        const bool compared = holdSameBytes(first, second, same, error, pieceSize);
        check(compared, first.failed() || second.failed());
    }
}

} // namespace
} // namespace quendral::test
