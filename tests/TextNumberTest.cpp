#include "carscript/RideHeight.h"
#include "controls/TextNumber.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quendral {
namespace {

struct NumberCase
{
    std::string text;
    TextNumber::Kind kind;
    int value;
    friend void PrintTo(const NumberCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }
};

class WholeNumbers : public testing::TestWithParam<NumberCase>
{
};

TEST_P(WholeNumbers, ReadAsExpected)
{
    const TextNumber number = TextNumber::parse(GetParam().text);
    EXPECT_EQ(number.kind, GetParam().kind);
    if (GetParam().kind == TextNumber::Kind::Number) {
        EXPECT_EQ(number.value, GetParam().value);
    }
}

using K = TextNumber::Kind;
INSTANTIATE_TEST_SUITE_P(
    EdgeInputs, WholeNumbers,
    testing::Values(NumberCase{"15", K::Number, 15}, NumberCase{"  21 ", K::Number, 21},
                    NumberCase{"\t18\t", K::Number, 18}, NumberCase{"+7", K::Number, 7},
                    NumberCase{"-3", K::Number, -3}, NumberCase{"007", K::Number, 7},
                    NumberCase{"21.5", K::Number, 22}, NumberCase{"20.5", K::Number, 20},
                    NumberCase{"2.5", K::Number, 2}, NumberCase{"3.5", K::Number, 4},
                    NumberCase{"-2.5", K::Number, -2}, NumberCase{"-3.5", K::Number, -4},
                    NumberCase{"20.50001", K::Number, 21}, NumberCase{"20.49999", K::Number, 20},
                    NumberCase{"21.", K::Number, 21}, NumberCase{"32767", K::Number, 32767},
                    NumberCase{"-32768", K::Number, -32768}, NumberCase{"32767.5", K::AboveRange, 0},
                    NumberCase{"32768", K::AboveRange, 0},
                    NumberCase{std::string(5000, '9'), K::AboveRange, 0},
                    NumberCase{"-32769", K::BelowRange, 0}, NumberCase{"", K::NotANumber, 0},
                    NumberCase{"   ", K::NotANumber, 0}, NumberCase{"abc", K::NotANumber, 0},
                    NumberCase{"1 5", K::NotANumber, 0}, NumberCase{"15a", K::NotANumber, 0},
                    NumberCase{".5", K::NotANumber, 0}, NumberCase{"-", K::NotANumber, 0},
                    NumberCase{"1e3", K::NotANumber, 0}, NumberCase{"1,5", K::NotANumber, 0},
                    NumberCase{"--1", K::NotANumber, 0}));

TEST(WholeNumber, OnlyNumbersInTheSixteenBitRangeConvert)
{
    EXPECT_EQ(toWholeNumber("14"), std::optional<std::int16_t>(14));
    EXPECT_EQ(toWholeNumber("40000"), std::nullopt);
    EXPECT_EQ(toWholeNumber("x"), std::nullopt);
}

TEST(Decimal, ReadsHeightsAndRefusesWhatIsNoNumber)
{
    double value = 99;
    EXPECT_TRUE(parseDecimal("-0.350", value));
    EXPECT_DOUBLE_EQ(value, -0.35);
    EXPECT_TRUE(parseDecimal(" .5 ", value));
    EXPECT_DOUBLE_EQ(value, 0.5);
    EXPECT_TRUE(parseDecimal("+12", value));
    EXPECT_DOUBLE_EQ(value, 12);
    value = 99;
    for (const char* text : {"", "-", ".", "1.2.3", "1e5", "inf", "nan", "0x10", "- 1", "-0.3a"}) {
        EXPECT_FALSE(parseDecimal(text, value)) << text;
        EXPECT_EQ(value, 99) << text;
    }
}

} // namespace
} // namespace quendral
