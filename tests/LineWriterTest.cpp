#include "carscript/ByteSink.h"
#include "carscript/FieldReader.h"
#include "carscript/LineWriter.h"

#include <gtest/gtest.h>

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

class FailingSink final : public ByteSink
{
public:
    bool write(std::string_view) override { return false; }
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

std::string copiedThrough(std::string_view data)
{
    StringSink sink;
    LineWriter writer(sink);
    for (const Field& field : fieldsOf(data))
        writer.copy(field);
    EXPECT_TRUE(writer.finish());
    return sink.data;
}

TEST(LineWriter, GivesBackLinesCopiedWholeWithCrLfEnds)
{
    EXPECT_EQ(copiedThrough("a ,b\r\nc\r\n"), "a ,b\r\nc\r\n");
    EXPECT_EQ(copiedThrough("  indented, x  \r\n"), "  indented, x  \r\n");
    EXPECT_EQ(copiedThrough("lf\nend"), "lf\r\nend\r\n");
    EXPECT_EQ(copiedThrough("cr\rcrlf\r\n\n"), "cr\r\ncrlf\r\n\r\n");
    EXPECT_EQ(copiedThrough("comma at end,"), "comma at end,\r\n");
    EXPECT_EQ(copiedThrough(""), "");
}

TEST(LineWriter, BreaksALineWhereAFieldWasLeftOut)
{
    const std::vector<Field> fields = fieldsOf("one , two , three\r\n");
    StringSink sink;
    LineWriter writer(sink);
    writer.copy(fields[0]);
    writer.copy(fields[2]);
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(sink.data, "one\r\nthree\r\n");
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

TEST(LineWriter, ReportsASinkThatFails)
{
    FailingSink sink;
    LineWriter writer(sink);
    writer.writeLine("lost");
    EXPECT_FALSE(writer.finish());
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
