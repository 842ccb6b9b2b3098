#include "carscript/FieldReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quendral {
namespace {

std::vector<std::string> fieldsOf(std::string_view data)
{
    FieldReader reader(data);
    std::vector<std::string> fields;
    Field field;
    while (!reader.atEnd()) {
        EXPECT_TRUE(reader.next(field));
        fields.emplace_back(field.text);
    }
    return fields;
}

struct SplitCase
{
    const char* name;
    std::string data;
    std::vector<std::string> fields;
    friend void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }
};

class FieldSplitting : public testing::TestWithParam<SplitCase>
{
};

TEST_P(FieldSplitting, YieldsTheExpectedFields)
{
    EXPECT_EQ(fieldsOf(GetParam().data), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    LineEndsAndBlanks, FieldSplitting,
    testing::Values(
        SplitCase{"CrLf", "one\r\ntwo\r\n", {"one", "two"}},
        SplitCase{"LoneLf", "one\ntwo\n", {"one", "two"}},
        SplitCase{"LoneCr", "one\rtwo\r", {"one", "two"}},
        SplitCase{"MixedEnds", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        SplitCase{"LfThenCrIsTwoLineEnds", "a\n\rb", {"a", "", "b"}},
        SplitCase{"NoFinalLineEnd", "one\r\ntwo", {"one", "two"}},
        SplitCase{"CommasSplit", "two, words\r\n", {"two", "words"}},
        SplitCase{"EmptyLineIsEmptyField", "a\r\n\r\nb\r\n", {"a", "", "b"}},
        SplitCase{"LeadingBlanksAndTabs", "   attach 1\r\n\t \tslot\r\n", {"attach 1", "slot"}},
        SplitCase{"TrailingBlanksAndTabs", "name  \t\r\nx , y \r\n", {"name", "x", "y"}},
        SplitCase{"CommaAtLineEndGivesEmptyField", "a,\r\nb", {"a", "", "b"}},
        SplitCase{"CommaAtDataEndGivesEmptyField", "a,", {"a", ""}},
        SplitCase{"QuotesAreOrdinary", "say \"hi, there\"\r\n", {"say \"hi", "there\""}},
        SplitCase{"NulBytesAreOrdinary", std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
        SplitCase{"EmptyData", "", {}},
        SplitCase{"OnlyALineEnd", "\r\n", {""}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

TEST(FieldReader, IsAtEndAfterTheLastFieldOfAFileEndingInCrLf)
{
    FieldReader reader("last line\r\n");
    Field field;
    ASSERT_TRUE(reader.next(field));
    EXPECT_TRUE(reader.atEnd());
}

TEST(FieldReader, ReadingAtTheEndFailsAndKeepsTheField)
{
    FieldReader reader("only");
    Field field;
    ASSERT_TRUE(reader.next(field));
    EXPECT_FALSE(reader.next(field));
    EXPECT_EQ(field.text, "only");
}

TEST(FieldReader, KeepsTheBlanksAroundEachPieceOfALine)
{
    FieldReader reader("  a ,\tb\t\r\n");
    Field first;
    Field second;
    ASSERT_TRUE(reader.next(first));
    ASSERT_TRUE(reader.next(second));
    EXPECT_EQ(first.indent, "  ");
    EXPECT_EQ(first.trailing, " ");
    EXPECT_EQ(first.end, FieldEnd::Comma);
    EXPECT_TRUE(first.startsLine);
    EXPECT_EQ(second.indent, "\t");
    EXPECT_EQ(second.trailing, "\t");
    EXPECT_EQ(second.end, FieldEnd::LineEnd);
    EXPECT_FALSE(second.startsLine);
    EXPECT_EQ(second.number, first.number + 1);
}

TEST(FieldReader, KeepsTheDelimiterThatEndedEachField)
{
    FieldReader reader("a,b\r\nc\nd\re");
    std::vector<std::string> delimiters;
    Field field;
    while (reader.next(field))
        delimiters.emplace_back(field.delimiter);
    EXPECT_EQ(delimiters, (std::vector<std::string>{",", "\r\n", "\n", "\r", ""}));
}

} // namespace
} // namespace quendral
