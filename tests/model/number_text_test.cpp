#include "model/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace model {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kDenormMin = std::numeric_limits<double>::denorm_min();

struct ParseCase {
    std::string text;
    char separator;
    double expected;
};

TEST(ParseNumber, ReadsTheAcceptedForms)
{
    const ParseCase cases[] = {
        {"1,5", ',', 1.5},
        {"1.5", '.', 1.5},
        {"  -2,5E3  ", ',', -2500},
        {"+,5", ',', 0.5},
        {"5,", ',', 5},
        {",", ',', 0},
        {",E5", ',', 0},
        {"007", ',', 7},
        {"1,5e+2", ',', 150},
        {"25e-1", ',', 2.5},
        {"0,1", ',', 0.1},
        {"0,1000000000000000055511151231257827", ',', 0.1},
        {"1E-320", ',', 1e-320},
        {"1E-400", ',', 0},
        // Overflow and underflow are told apart by the decimal order, not the exponent's sign.
        {"1" + std::string(400, '0') + "E-300", ',', 1e100},
        {"0," + std::string(400, '0') + "1E50", ',', 0},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE("'" + c.text + "'");
        EXPECT_EQ(ParseNumber(c.text, c.separator), c.expected);
    }
}

TEST(ParseNumber, KeepsTheSignOfZero)
{
    EXPECT_TRUE(std::signbit(ParseNumber("-0", ',')));
    EXPECT_TRUE(std::signbit(ParseNumber("-1E-400", ',')));
    EXPECT_FALSE(std::signbit(ParseNumber("0", ',')));
}

TEST(ParseNumber, RejectsOtherTextsWithTheUsersText)
{
    const ParseCase cases[] = {
        {"", ',', 0},
        {"   ", ',', 0},
        {"+", ',', 0},
        {"-", ',', 0},
        {"1.5", ',', 0},
        {"1,5", '.', 0},
        {"1 000", ',', 0},
        {"1,5,", ',', 0},
        {"1,,5", ',', 0},
        {"\t1", ',', 0},
        {"1\t", ',', 0},
        {"- 1", ',', 0},
        {"--1", ',', 0},
        {"+-1", ',', 0},
        {"1 E5", ',', 0},
        {"1E", ',', 0},
        {"1E+", ',', 0},
        {"1E5,5", ',', 0},
        {"E5", ',', 0},
        {"0x10", ',', 0},
        {"inf", ',', 0},
        {"nan", ',', 0},
        {"1E400", ',', 0},
        {"-1E400", ',', 0},
        {std::string(400, '9') + "E-50", ',', 0},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE("'" + c.text + "'");
        try {
            ParseNumber(c.text, c.separator);
            ADD_FAILURE() << "accepted";
        } catch (const ConversionError& error) {
            // The 400 nines are quoted by their first 100, a tab as "\t".
            std::string quoted = c.text.size() <= 100 ? c.text : c.text.substr(0, 100) + "\u2026";
            for (std::size_t tab; (tab = quoted.find('\t')) != std::string::npos;)
                quoted.replace(tab, 1, "\\t");
            EXPECT_EQ(error.what(), "'" + quoted + "' is not a valid floating point value");
        }
    }
}

// A NUL in a cell no longer cuts the message at the NUL.
TEST(ParseNumber, QuotesControlCharactersVisibly)
{
    try {
        ParseNumber(std::string("12\0"
                                "5",
                                4),
                    ',');
        ADD_FAILURE() << "accepted";
    } catch (const ConversionError& error) {
        EXPECT_EQ(std::string(error.what()), "'12\\05' is not a valid floating point value");
    }
}

TEST(ParseCount, ReadsSignedIntegers)
{
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"42", 42},
        {"  -17", -17},
        {"+5", 5},
        {"007", 7},
        {"-0", 0},
        {"2147483647", std::numeric_limits<int>::max()},
        {"-2147483648", std::numeric_limits<int>::min()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseCount(c.text), c.expected);
    }
}

TEST(ParseCount, RejectsOtherTextsWithTheUsersText)
{
    const char* const cases[] = {
        "", " ", "+", "-", "1,5", "1.5", "2147483648", "-2147483649", "12a", "5 ", "+-5", "-+5", "1e3", "\t1",
    };
    for (const std::string text : cases) {
        SCOPED_TRACE("'" + text + "'");
        try {
            ParseCount(text);
            ADD_FAILURE() << "accepted";
        } catch (const ConversionError& error) {
            const std::string quoted = text.starts_with('\t') ? "\\t" + text.substr(1) : text;
            EXPECT_EQ(error.what(), "'" + quoted + "' is not a valid integer value");
        }
    }
}

TEST(FormatFixed, RoundsTheExactValue)
{
    const struct {
        double value;
        int decimals;
        char separator;
        const char* expected;
    } cases[] = {
        {0, 6, ',', "0,000000"},
        {-0.0, 3, ',', "0,000"},
        {1.5, 3, '.', "1.500"},
        {0.5, 0, ',', "1"},
        {-2.5, 0, ',', "-3"},
        // Halves that are exact round away from zero, not to even.
        {0.125, 2, ',', "0,13"},
        {-0.125, 2, ',', "-0,13"},
        {0.03125, 4, ',', "0,0313"},
        // Decimal literals just below a half stay below it in binary.
        {2.675, 2, ',', "2,67"},
        {0.0000005, 6, ',', "0,000000"},
        {-0.0000001, 6, ',', "0,000000"},
        {0.9999996, 6, ',', "1,000000"},
        {-0.00005, 4, ',', "-0,0001"},
        // At most 11 significant digits, the rest written as zeros.
        {123456.123456789, 6, ',', "123456,123460"},
        {12345678901.23, 4, ',', "12345678901,0000"},
        {0.000123456789012345, 6, ',', "0,000123"},
        {kDenormMin, 3, ',', "0,000"},
        // Below 1e11 before rounding, so it stays fixed even though it rounds to 12 digits.
        {99999999999.5, 3, ',', "100000000000,000"},
        // 12 or more integer digits: exponent notation at 11 significant digits.
        {1e11, 3, ',', "1E11"},
        {-1e11, 6, ',', "-1E11"},
        {123456789012345.0, 6, ',', "1,2345678901E14"},
        {kMax, 3, ',', "1,7976931349E308"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " to " << c.decimals);
        EXPECT_EQ(FormatFixed(c.value, c.decimals, c.separator), c.expected);
    }
}

TEST(FormatGeneral, WritesFifteenSignificantDigits)
{
    const struct {
        double value;
        char separator;
        const char* expected;
    } cases[] = {
        {0, ',', "0"},
        {-0.0, ',', "0"},
        {100, ',', "100"},
        {1234.5, ',', "1234,5"},
        {1234.5, '.', "1234.5"},
        {0.1 + 0.2, ',', "0,3"},
        {1.0 / 3, ',', "0,333333333333333"},
        {-2.0 / 3, ',', "-0,666666666666667"},
        {0.0001, ',', "0,0001"},
        {0.00012345, ',', "0,00012345"},
        {0.000001, ',', "1E-6"},
        {1.5e-5, ',', "1,5E-5"},
        {-2.5e-7, ',', "-2,5E-7"},
        {123456789012345.0, ',', "123456789012345"},
        {1e15, ',', "1E15"},
        // Rounding to 15 digits adds an integer digit, so the exponent form is used.
        {999999999999999.9, ',', "1E15"},
        {-1.5e300, ',', "-1,5E300"},
        // Exact halves at the 16th digit round away from zero, not to even.
        {1234567890123445.0, ',', "1,23456789012345E15"},
        {-1234567890123455.0, ',', "-1,23456789012346E15"},
        {kMax, ',', "1,79769313486232E308"},
        {kDenormMin, ',', "4,94065645841247E-324"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value);
        EXPECT_EQ(FormatGeneral(c.value, c.separator), c.expected);
    }
}

TEST(FormatNumbers, WriteNonFiniteValuesAsWords)
{
    const struct {
        double value;
        const char* expected;
    } cases[] = {{kInf, "INF"}, {-kInf, "-INF"}, {kNaN, "NAN"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(FormatFixed(c.value, 6, ','), c.expected);
        EXPECT_EQ(FormatGeneral(c.value, ','), c.expected);
    }
}

// Both notations FormatGeneral writes must read back as the same number.
TEST(FormatGeneral, ReadsBackWithParseNumber)
{
    const double values[] = {0.1, -1234.5, 2.5e-7, 1e15, 123456789012345.0, 6.02214076e23};
    for (const char separator : {',', '.'}) {
        for (const double value : values) {
            SCOPED_TRACE(testing::Message() << value << " with '" << separator << "'");
            EXPECT_EQ(ParseNumber(FormatGeneral(value, separator), separator), value);
        }
    }
}

}  // namespace
}  // namespace model
