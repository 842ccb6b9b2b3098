// Tables of the small readers and writers: how a script is copied line by
// line, number texts, ride heights, wheel lines and the largest wheel size
// box's check.

#include "carscript/ByteSink.h"
#include "carscript/FieldReader.h"
#include "carscript/LineWriter.h"
#include "carscript/RideHeight.h"
#include "carscript/WheelLine.h"
#include "controls/EditingControls.h"
#include "controls/TextNumber.h"
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

} // namespace
} // namespace quendral::test
