#include "carscript/ByteSink.h"
#include "carscript/FieldReader.h"
#include "carscript/LineWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace quendral {
namespace {

// Copies every field, or drops those the filter refuses.
std::string copyThrough(std::string_view script, const std::function<bool(const Field&)>& keep = {})
{
    StringSink sink;
    LineWriter writer(sink);
    FieldReader reader(script);
    Field field;
    while (reader.next(field))
        if (!keep || keep(field))
            writer.copy(field);
    EXPECT_TRUE(writer.finish());
    return sink.data;
}

struct CopyCase
{
    const char* name;
    std::string script;
    std::string expected;
    friend void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.name; }
};

class CopiedLines : public testing::TestWithParam<CopyCase>
{
};

TEST_P(CopiedLines, ComeOutAsTheyStoodWithCrLf)
{
    EXPECT_EQ(copyThrough(GetParam().script), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    LineEnds, CopiedLines,
    testing::Values(
        CopyCase{"CommasAndBlanks", "a, b\r\n", "a, b\r\n"},
        CopyCase{"Indentation", "    x 1\r\n", "    x 1\r\n"},
        CopyCase{"TabsAndTrailingBlanks", "\tname  \t\r\n", "\tname  \t\r\n"},
        CopyCase{"LoneLfBecomesCrLf", "a\nb\n", "a\r\nb\r\n"},
        CopyCase{"LoneCrBecomesCrLf", "a\rb\r", "a\r\nb\r\n"},
        CopyCase{"NoFinalLineEndGetsOne", "a,b", "a,b\r\n"},
        CopyCase{"EmptyLines", "\r\n\r\n", "\r\n\r\n"},
        CopyCase{"BlankOnlyLine", "   \r\n", "   \r\n"},
        CopyCase{"TrailingComma", "a, b,\r\nc", "a, b,\r\nc\r\n"},
        CopyCase{"TrailingCommaAtEnd", "a,", "a,\r\n"},
        CopyCase{"Quotes", "say \"a, b\"\r\n", "say \"a, b\"\r\n"},
        CopyCase{"EmptyScript", "", ""}),
    [](const testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.name); });

TEST(LineWriter, BreaksALineWhereAPieceWasDropped)
{
    const std::string out =
        copyThrough("  a , b ,c\r\n", [](const Field& field) { return field.text != "b"; });
    EXPECT_EQ(out, "  a\r\nc\r\n");
}

TEST(LineWriter, WrittenLinesStandAlone)
{
    StringSink sink;
    LineWriter writer(sink);
    FieldReader reader("a, b\r\n");
    Field first;
    Field second;
    reader.next(first);
    reader.next(second);
    writer.copy(first);
    writer.writeLine("new");
    writer.copy(second);
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(sink.data, "a\r\nnew\r\nb\r\n");
}

class FailingSink final : public ByteSink
{
public:
    bool write(std::string_view) override { return false; }
};

TEST(LineWriter, ReportsASinkThatFails)
{
    FailingSink sink;
    LineWriter writer(sink);
    writer.writeLine("anything");
    EXPECT_FALSE(writer.finish());
}

TEST(LineWriter, HandsLongScriptsOverWhole)
{
    std::string script;
    for (int i = 0; i < 100000; ++i)
        script += "line " + std::to_string(i) + ", piece\r\n";
    script += std::string(600000, 'x') + "\r\n";
    EXPECT_EQ(copyThrough(script), script);
}

} // namespace
} // namespace quendral
