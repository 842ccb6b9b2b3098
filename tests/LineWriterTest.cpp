#include "carscript/ByteSink.h"
#include "carscript/FieldReader.h"
#include "carscript/LineWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace quendral {
namespace {

// The line writer's rules applied piece by piece, as plainly as they can be
// written: what the writer must produce whatever it does to go faster.
class PlainLineWriter
{
public:
    void writeLine(std::string_view text)
    {
        endOpenLine();
        out.append(text);
        out.append("\r\n");
    }

    void copy(const Field& field)
    {
        if (open && open->end == FieldEnd::Comma && open->number + 1 == field.number) {
            out.append(open->trailing);
            out.append(",");
            out.append(field.indent);
        } else {
            endOpenLine();
            if (field.startsLine)
                out.append(field.indent);
        }
        out.append(field.text);
        open = field;
    }

    void finish() { endOpenLine(); }

    std::string out;

private:
    void endOpenLine()
    {
        if (!open)
            return;
        if (open->end != FieldEnd::Comma)
            out.append(open->trailing);
        out.append("\r\n");
        open.reset();
    }

    std::optional<Field> open;
};

// Counts the writes it is handed, to tell one large write from many.
class CountingSink final : public ByteSink
{
public:
    bool write(std::string_view bytes) override
    {
        data.append(bytes);
        ++writes;
        return true;
    }

    std::string data;
    int writes = 0;
};

std::vector<Field> fieldsOf(std::string_view data)
{
    FieldReader reader(data);
    std::vector<Field> fields;
    Field field;
    while (reader.next(field))
        fields.push_back(field);
    return fields;
}

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

TEST(LineWriter, WritesALineOfItsOwnBetweenCopiedFields)
{
    const std::vector<Field> fields = fieldsOf("a,b\r\n");
    StringSink sink;
    LineWriter writer(sink);
    writer.copy(fields[0]);
    {
        const std::string replacement = "replaced";
        writer.writeLine(replacement);
    }
    writer.copy(fields[1]);
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(sink.data, "a\r\nreplaced\r\nb\r\n");
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

TEST(LineWriter, HandsOnALongRunOfTheScriptInOneWrite)
{
    std::string script;
    while (script.size() < 2 * 1024 * 1024)
        script += "colour      0.80, 0.12, 0.10\r\n; a comment\r\n";
    CountingSink sink;
    LineWriter writer(sink);
    for (const Field& field : fieldsOf(script))
        writer.copy(field);
    ASSERT_TRUE(writer.finish());
    EXPECT_TRUE(sink.data == script);
    EXPECT_EQ(sink.writes, 1);
}

// Random scripts of blanks, commas, line ends of every kind and text, with
// random fields copied, left out or replaced by lines of their own: the
// writer gives exactly what the plain rules give.
TEST(LineWriter, AgreesWithThePlainRulesOnRandomScripts)
{
    std::mt19937 random(20261206);
    const std::string alphabet = "ab  \t,,\r\n\n\r";
    for (int round = 0; round < 3000; ++round) {
        std::string script;
        const int length = std::uniform_int_distribution<int>(0, 120)(random);
        for (int i = 0; i < length; ++i)
            script += alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];

        StringSink sink;
        LineWriter writer(sink);
        PlainLineWriter plain;
        for (const Field& field : fieldsOf(script)) {
            switch (std::uniform_int_distribution<int>(0, 5)(random)) {
            case 0:
                break;  // left out
            case 1: {
                const std::string line = "line " + std::to_string(round);
                writer.writeLine(line);
                plain.writeLine(line);
                break;
            }
            default:
                writer.copy(field);
                plain.copy(field);
            }
        }
        ASSERT_TRUE(writer.finish());
        plain.finish();
        ASSERT_EQ(sink.data, plain.out) << "script: " << testing::PrintToString(script);
    }
}

} // namespace
} // namespace quendral
