// Tables of the small readers and writers: how a script is copied line by
// line, number texts, ride heights, wheel lines, the largest wheel size
// box's check, the records of a CSV table and what is taken for UTF-16.

#include "app/cli/CsvReader.h"
#include "app/cli/Fingerprint.h"
#include "carscript/ByteSink.h"
#include "carscript/CarFiles.h"
#include "carscript/FieldReader.h"
#include "carscript/LineWriter.h"
#include "carscript/RideHeight.h"
#include "carscript/WheelLine.h"
#include "controls/EditingControls.h"
#include "settings/TextNumber.h"
#include "Support.h"

#include <gtest/gtest.h>

namespace quendral::test {
namespace {

// Scripts read field by field and copied through the line writer; a field
// "drop" is left out and a field "new" is replaced by a line of its own.
TEST(Tables, CopiedLinesStandAsTheyStoodWithCrLf)
{
    const std::pair<std::string, std::string> rows[] = {
        {"a, b\r\n", "a, b\r\n"}, {"\tname  \t\r\n", "\tname  \t\r\n"}, {"a\nb\rc", "a\r\nb\r\nc\r\n"},
        {"a\n\rb", "a\r\n\r\nb\r\n"}, {" x , y \r\n\r\n", " x , y \r\n\r\n"}, {std::string("a\0b", 3), std::string("a\0b\r\n", 5)},
        {"\r\n   \r\n", "\r\n   \r\n"}, {"a, b,\r\nc", "a, b,\r\nc\r\n"}, {"a,", "a,\r\n"}, {"", ""},
        {"  a , drop ,c\r\n", "  a\r\nc\r\n"}, {"a,new,b\r\n", "a\r\nnew line\r\nb\r\n"}, {" new \r\n", "new line\r\n"}};
    for (const auto& [script, expected] : rows) {
        StringSink sink;
        LineWriter writer(sink);
        FieldReader reader(script);
        for (Field field; reader.next(field);) {
            if (field.text == "new")
                writer.writeLine("new line");
            else if (field.text != "drop")
                writer.copy(field);
        }
        EXPECT_TRUE(writer.finish());
        EXPECT_EQ(sink.data, expected) << testing::PrintToString(script);
    }
}

TEST(Tables, NumberTexts)
{
    using K = TextNumber::Kind;
    const std::tuple<std::string, K, int> rows[] = {
        {"15", K::Number, 15}, {"  21 ", K::Number, 21}, {"\t18\t", K::Number, 18}, {"+7", K::Number, 7},
        {"-3", K::Number, -3}, {"007", K::Number, 7}, {"21.5", K::Number, 22}, {"20.5", K::Number, 20},
        {"3.5", K::Number, 4}, {"-2.5", K::Number, -2}, {"-3.5", K::Number, -4}, {"20.50001", K::Number, 21},
        {"20.49999", K::Number, 20}, {"21.", K::Number, 21}, {"32767", K::Number, 32767},
        {"-32768", K::Number, -32768}, {"32767.5", K::AboveRange, 0}, {"32768", K::AboveRange, 0},
        {std::string(5000, '9'), K::AboveRange, 0}, {"-32769", K::BelowRange, 0}, {"", K::NotANumber, 0},
        {"   ", K::NotANumber, 0}, {"1 5", K::NotANumber, 0}, {"15a", K::NotANumber, 0}, {".5", K::NotANumber, 0},
        {"-", K::NotANumber, 0}, {"1e3", K::NotANumber, 0}, {"1,5", K::NotANumber, 0}, {"--1", K::NotANumber, 0}};
    for (const auto& [text, kind, value] : rows) {
        const TextNumber number = TextNumber::parse(text);
        EXPECT_EQ(number.kind, kind) << text;
        EXPECT_EQ(number.kind == K::Number ? number.value : 0, value) << text;
        EXPECT_EQ(toWholeNumber(text), kind == K::Number ? std::optional<std::int16_t>(value) : std::nullopt) << text;
    }
}

TEST(Tables, DecimalsAndRideHeights)
{
    const std::pair<const char*, double> decimals[] = {{"-0.350", -0.35}, {" .5 ", 0.5}, {"+12", 12}};
    for (const auto& [text, expected] : decimals) {
        double value = 99;
        EXPECT_TRUE(parseDecimal(text, value) && value == expected) << text;
    }
    for (const char* text : {"", "-", ".", "1.2.3", "1e5", "inf", "nan", "0x10", "- 1", "-0.3a"}) {
        double value = 99;
        EXPECT_FALSE(parseDecimal(text, value) || value != 99) << text;
    }
    // Characters 15 to 20 of the wheel line, halves to even.
    const std::pair<const char*, int> heights[] = {
        {"-0.300", 0}, {"-0.310", 0}, {"-0.330", 2}, {"-0.350", 2}, {"-0.370", 4}, {"-0.450", 8}, {"-0.500", 10},
        {"-0.900", 30}, {"-0.250", -2}, {"0.450 ", 8}, {"abcdef", -15}, {"-0.3xx", -15}};
    for (const auto& [height, position] : heights)
        EXPECT_EQ(rideHeightPosition("suspension    " + std::string(height) + " 0.120 0.080 0.250 2.1000 1.000 1.000 "
                                     "1.000 0.000"), position) << height;
    EXPECT_EQ(rideHeightPosition("-0.4"), 5);
    EXPECT_EQ(rideHeightPosition("x-0.450"), 8);
    EXPECT_EQ(rideHeightPosition("xxxxxxxxxxxxxx-0.700"), 20);
}

TEST(Tables, WheelLines)
{
    const std::string old = "suspension    -0.420 0.120 0.080 0.250 2.1000 1.000 1.000 1.000 0.000";
    EXPECT_EQ(rebuildWheelLine(old, Axle::Front, 10, false),
              "suspension    -0.500 0.120 0.080 0.250 2.1000 1.000 0.000 1.000 0.000");
    EXPECT_EQ(rebuildWheelLine(old, Axle::Rear, 30, true),
              "suspension    -0.90 0.120 0.080 0.250 2.1000 0.000 1.000 1.000 1.000");
    EXPECT_FALSE(rebuildWheelLine(std::string(61, 'x'), Axle::Front, 0, true));
    EXPECT_TRUE(rebuildWheelLine(std::string(62, 'x'), Axle::Front, 0, true));
    // The drive flag is the first of the last 17 characters.
    const std::pair<std::string, bool> driven[] = {
        {old, true}, {"x 1.000 0.000 1.000 0.000", false}, {"1", true}, {"", false}, {"0.000 1.000 1.000 1.000 x", false}};
    for (const auto& [line, expected] : driven)
        EXPECT_EQ(isDrivenWheelLine(line), expected) << line;
}

// Typed or stored, a largest wheel size above 21 is refused and set to 21.
TEST(Tables, TheLargestWheelSizeCheck)
{
    const std::pair<const char*, bool> rows[] = {{"21", false}, {"21.5", true}, {"20.5", false}, {"-40", false},
                                                 {"", false},   {"abc", false}, {"99999", true}, {"-99999", false},
                                                 {"2", false}, {" 22 ", true}};
    RecordingMessages messages;
    EditingControls controls(messages);
    for (const auto& [text, refused] : rows) {
        messages.shown.clear();
        controls.largestWheel.setText(text);
        EXPECT_EQ(messages.shown.size(), refused ? 1u : 0u) << text;
        EXPECT_EQ(controls.largestWheel.text(), refused ? "21" : text) << text;
    }
    EXPECT_EQ(messages.shown[0], (ShownMessage{"Max size", "Maximal wheelsize is 21 inch!!!!"}));
    controls.smallestWheel.setText("99");
    EXPECT_EQ(messages.shown.size(), 1u) << "the smallest size has no check while typing";
}

// UTF-16 by its mark, or by NUL in every even or every odd place with
// something else in the others.
TEST(Tables, Utf16Texts)
{
    using namespace std::string_literals;
    const std::pair<std::string, bool> rows[] = {
        {"\xFF\xFE"s, true},      {"\xFE\xFF"s, true},   {"A\0"s, true},          {"\0A"s, true},
        {"A\0B\0\r\0"s, true},   {"X\0\0A"s, false},    {"\0\0\0\0"s, false},     {"A"s, false},
        {"\xEF\xBB\xBF" "A\0"s, false}, {"AB\0\0"s, false}, {"\0AB\0"s, false},       {""s, false}};
    for (const auto& [text, wide] : rows)
        EXPECT_EQ(isUtf16Text(text), wide) << testing::PrintToString(text);
}

// The fingerprint is the start of a true SHA-256: the published digests of
// one block, of a message whose padding needs a second block, and of many.
TEST(Tables, Fingerprints)
{
    const std::pair<std::string, std::string> rows[] = {
        {"", "se3b0c44298fc"},
        {"abc", "sba7816bf8f01"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "s248d6a61d206"},
        {std::string(1000000, 'a'), "scdc76e5c9914"}};
    for (const auto& [script, fingerprint] : rows)
        EXPECT_EQ(cli::scriptFingerprint(script), fingerprint) << script.size();
}

// Each record as "LINE:cell|cell", "+N" after it for N cells counted but
// not kept (the reader keeps 3); or the problem.
TEST(Tables, CsvRecords)
{
    const std::tuple<char, std::string, std::string> rows[] = {
        {',', "\"a\",\"b c\"\r\n", "1:a|b c"},
        {',', "\"x,y\",z\n", "1:x,y|z"},
        {',', "\"say \"\"hi\"\"\",\"\"\"\"\r\n", "1:say \"hi\"|\""},
        {',', "\"two\r\nlines\",b\r\nnext,\"\n\r\"\r\nlast", "1:two\r\nlines|b 3:next|\n\r 6:last"},
        {',', "\xEF\xBB\xBF" "car,I4\r\n", "1:car|I4"},
        {',', "a\nb\r\nc\rd\n", "1:a 2:b 3:c 4:d"},
        {',', "a,b\r\nc,d", "1:a|b 2:c|d"},
        {',', ",a,\r\n,", "1:|a| 2:|"},
        {',', "\r\n\n\ra\r\n\r\n", "4:a"},
        {',', " a , b ,\t\r\n\"\"", "1: a | b |\t 2:"},
        {',', "a,b,c,d,e\r\nf", "1:a|b|c+2 2:f"},
        {';', "a;\"b;c\";d,e\r\n", "1:a|b;c|d,e"},
        {'\t', "a\t\"b\tc\"\n", "1:a|b\tc"},
        {',', "a,b\r\nc,\"open\r\nmore", "line 2, column 2: the quotes of this cell are not as CSV has them"},
        {',', "a,b\"c\r\n", "line 1, column 2: the quotes"},
        {',', "\"a\" ,b", "line 1, column 1: the quotes"},
        {',', "x\r\n\"y\nz\"w", "line 3, column 1: the quotes"},
        {',', "\"", "line 1, column 1: the quotes"},
    };
    for (const auto& [delimiter, text, expected] : rows) {
        std::vector<cli::CsvRecord> records;
        std::string problem;
        std::string read;
        if (cli::CsvReader(delimiter, 3).read(text, records, problem)) {
            for (const cli::CsvRecord& record : records) {
                read.append(read.empty() ? "" : " ").append(std::to_string(record.line)).append(":");
                for (std::size_t i = 0; i < record.cells.size(); ++i)
                    read.append(i == 0 ? "" : "|").append(record.cells[i]);
                if (record.cellCount > record.cells.size())
                    read.append("+").append(std::to_string(record.cellCount - record.cells.size()));
            }
        } else {
            read = problem.substr(0, expected.size());
        }
        EXPECT_EQ(read, expected) << testing::PrintToString(text);
    }
    // A reader told to stop takes no record after that one, nor its problem.
    std::size_t taken = 0;
    std::string problem;
    EXPECT_TRUE(cli::CsvReader().read("a\nb\n\"", [&](cli::CsvRecord&) { return ++taken < 1; }, problem));
    EXPECT_EQ(taken, 1u);
}

} // namespace
} // namespace quendral::test
