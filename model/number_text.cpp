#include "model/number_text.h"

#include "model/text_encoding.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <optional>
#include <string>

namespace model {

namespace {

constexpr int kFixedSignificant = 11;
constexpr int kGeneralSignificant = 15;
// The smallest denormal has its last nonzero digit at this decimal, so fixed
// notation at this precision is a double's exact value.
constexpr int kExactDecimals = 1074;
// Values from here on have more integer digits than FormatFixed keeps.
constexpr double kFixedLimit = 1e11;

// ±0.digits × 10^point; digits has no leading or trailing zeros and is
// empty for zero, which is never negative.
struct Decimal {
    bool negative = false;
    std::string digits;
    int point = 0;
};

// The decimal digits of |value| written to `decimals` places (correctly
// rounded there): ±0.digits × 10^point with leading zeros removed.
Decimal DigitsAt(double value, int decimals)
{
    constexpr int kIntegerDigits = std::numeric_limits<double>::max_exponent10 + 1;
    std::array<char, kIntegerDigits + 1 + kExactDecimals> buffer;
    // to_chars, unlike printf, ignores the locale the windows set.
    const char* end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                                    std::chars_format::fixed, decimals)
                          .ptr;
    const std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    const std::size_t dot = text.find('.');

    Decimal result;
    result.digits = std::string(text.substr(0, dot));
    if (dot != std::string_view::npos)
        result.digits.append(text.substr(dot + 1));
    result.point = static_cast<int>(std::min(dot, text.size()));
    const std::size_t first = result.digits.find_first_not_of('0');
    if (first == std::string::npos) {
        return {};
    }
    result.digits.erase(0, first);
    result.point -= static_cast<int>(first);
    return result;
}

// Rounds the exact value of a finite double to at most maxSignificant
// significant digits and maxDecimals decimals, a dropped half away from zero.
Decimal RoundExact(double value, int maxSignificant, int maxDecimals)
{
    // Digits written to a few guard places past the first dropped digit are
    // exact up to it unless the guard places read all zeros (an exact zero
    // tail or a carry out of nines); only then are all 1074 places needed.
    constexpr int kGuard = 7;
    Decimal result;
    bool exact = maxDecimals + 1 + kGuard >= kExactDecimals;
    if (!exact) {
        result = DigitsAt(value, maxDecimals + 1 + kGuard);
        const int keep = std::min(maxSignificant, result.point + maxDecimals);
        const auto tail = static_cast<std::size_t>(std::max(keep, 0)) + 1;
        exact = result.digits.empty() || tail >= result.digits.size()
                || result.digits.find_first_not_of('0', tail) == std::string::npos;
    }
    if (exact) {
        result = DigitsAt(value, kExactDecimals);
        if (result.digits.empty()) {
            return {};
        }
    }

    const int keep = std::min(maxSignificant, result.point + maxDecimals);
    if (keep < 0) {
        return {};  // the first dropped digit is a leading zero
    }
    const auto kept = static_cast<std::size_t>(keep);
    // The digits are exact, so a first dropped digit of 5 or more means at
    // least a half is dropped.
    const bool roundUp = kept < result.digits.size() && result.digits[kept] >= '5';
    result.digits.resize(std::min(kept, result.digits.size()));
    if (roundUp) {
        std::size_t i = kept;
        while (i > 0 && result.digits[i - 1] == '9') {
            result.digits[--i] = '0';
        }
        if (i > 0) {
            ++result.digits[i - 1];
        } else {
            result.digits.insert(0, 1, '1');
            ++result.point;
        }
    }
    result.digits.erase(result.digits.find_last_not_of('0') + 1);
    if (result.digits.empty()) {
        return {};
    }
    result.negative = std::signbit(value);
    return result;
}

std::string WriteFixed(const Decimal& number, int decimals, char separator)
{
    // Positions outside the significant digits are zeros.
    const auto digitAt = [&number](int i) {
        const auto index = static_cast<std::size_t>(i);
        return i >= 0 && index < number.digits.size() ? number.digits[index] : '0';
    };
    std::string text = number.negative ? "-" : "";
    if (number.point <= 0) {
        text += '0';
    }
    for (int i = 0; i < number.point; ++i) {
        text += digitAt(i);
    }
    if (decimals > 0) {
        text += separator;
        for (int i = number.point; i < number.point + decimals; ++i) {
            text += digitAt(i);
        }
    }
    return text;
}

// Fixed notation while the magnitude is at least 0.0001 and the integer
// digits fit in the precision, exponent notation otherwise.
std::string WriteGeneral(const Decimal& number, int precision, char separator)
{
    const int size = static_cast<int>(number.digits.size());
    if (size == 0 || (number.point >= -3 && number.point <= precision)) {
        return WriteFixed(number, std::max(0, size - number.point), separator);
    }
    std::string text = number.negative ? "-" : "";
    text += number.digits.front();
    if (size > 1) {
        text += separator;
        text.append(number.digits, 1);
    }
    return text + 'E' + std::to_string(number.point - 1);
}

// The fixed text of a value with at most 11 digits at `decimals` decimals,
// rounded in extended precision; none when the value is not such a value or
// lies so near a dropped half that only its exact digits can tell.
std::optional<std::string> FormatFixedQuickly(double value, int decimals, char separator)
{
    constexpr long double kPowers[] = {1e0L, 1e1L, 1e2L, 1e3L, 1e4L, 1e5L, 1e6L, 1e7L, 1e8L, 1e9L};
    constexpr long double kLimit = 1e11L;
    // Far wider than the product's rounding error (below 1e11 · 2^-64).
    constexpr long double kHalfMargin = 1e-6L;
    if (decimals < 0 || decimals >= static_cast<int>(std::size(kPowers)) || !std::isfinite(value)) {
        return std::nullopt;
    }
    const long double scaled = std::fabs(static_cast<long double>(value)) * kPowers[decimals];
    if (scaled >= kLimit) {
        return std::nullopt;
    }
    const long double whole = std::floor(scaled);
    const long double dropped = scaled - whole;
    if (std::fabs(dropped - 0.5L) < kHalfMargin) {
        return std::nullopt;
    }
    const auto rounded = static_cast<std::uint64_t>(whole) + (dropped > 0.5L ? 1 : 0);

    std::string digits = std::to_string(rounded);
    if (digits.size() <= static_cast<std::size_t>(decimals)) {
        digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
    }
    std::string text = value < 0 && rounded != 0 ? "-" : "";
    text.append(digits, 0, digits.size() - static_cast<std::size_t>(decimals));
    if (decimals > 0) {
        text += separator;
        text.append(digits, digits.size() - static_cast<std::size_t>(decimals));
    }
    return text;
}

std::string WriteNonFinite(double value)
{
    if (std::isnan(value)) {
        return "NAN";
    }
    return value < 0 ? "-INF" : "INF";
}

// Decimal position of the leading nonzero digit of whole.fraction × 10^exponent,
// enough to tell an overflow from an underflow.
long long DecimalOrder(std::string_view whole, std::string_view fraction, bool exponentNegative,
                       std::string_view exponent)
{
    // A bound far past any double's order keeps the sum from overflowing.
    constexpr long long kBound = 1'000'000'000'000;
    long long power = 0;
    for (const char c : exponent) {
        power = std::min(power * 10 + (c - '0'), kBound);
    }
    const std::string digits = std::string(whole).append(fraction);
    const auto leading = static_cast<long long>(digits.find_first_not_of('0'));
    return static_cast<long long>(whole.size()) - leading + (exponentNegative ? -power : power);
}

// The text as a message quotes it. A cell may hold a megabyte of text, which
// no message box can show in reasonable time, and control characters that
// would cut or reshape the message.
std::string Quoted(std::string_view text)
{
    constexpr std::size_t kQuotedBytes = 100;
    return "'" + VisibleControls(CutUtf8(text, kQuotedBytes)) + "'";
}

}  // namespace

double ParseNumber(std::string_view text, char separator)
{
    const auto invalid = [text] {
        return ConversionError(Quoted(text) + " is not a valid floating point value");
    };
    std::size_t pos = 0;
    const auto at = [&](char c) { return pos < text.size() && text[pos] == c; };
    const auto skipSpaces = [&] {
        while (at(' ')) {
            ++pos;
        }
    };
    const auto takeSign = [&] {
        const bool negative = at('-');
        if (negative || at('+')) {
            ++pos;
        }
        return negative;
    };
    const auto takeDigits = [&] {
        const std::size_t start = pos;
        while (pos < text.size() && IsDigit(text[pos])) {
            ++pos;
        }
        return text.substr(start, pos - start);
    };

    skipSpaces();
    const bool negative = takeSign();
    const std::string_view whole = takeDigits();
    const bool hasSeparator = at(separator);
    std::string_view fraction;
    if (hasSeparator) {
        ++pos;
        fraction = takeDigits();
    }
    if (whole.empty() && !hasSeparator) {
        throw invalid();
    }
    bool exponentNegative = false;
    std::string_view exponent;
    if (at('E') || at('e')) {
        ++pos;
        exponentNegative = takeSign();
        exponent = takeDigits();
        if (exponent.empty()) {
            throw invalid();
        }
    }
    skipSpaces();
    if (pos != text.size()) {
        throw invalid();
    }

    // from_chars reads no '+' and no bare point, and always uses '.'.
    std::string normal = negative ? "-" : "";
    normal.append(whole.empty() ? "0" : whole).append(".").append(fraction.empty() ? "0" : fraction);
    if (!exponent.empty()) {
        normal.append(exponentNegative ? "e-" : "e").append(exponent);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Reported for underflow too, which reads as zero.
        if (DecimalOrder(whole, fraction, exponentNegative, exponent) > 0) {
            throw invalid();
        }
        return negative ? -0.0 : 0.0;
    }
    if (error != std::errc() || end != normal.data() + normal.size()) {
        throw invalid();
    }
    return value;
}

int ParseCount(std::string_view text)
{
    std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        start = text.size();
    }
    // from_chars takes a '-' itself but no '+'.
    std::size_t firstDigit = start;
    if (start < text.size() && text[start] == '+') {
        firstDigit = ++start;
    } else if (start < text.size() && text[start] == '-') {
        firstDigit = start + 1;
    }
    const char* end = text.data() + text.size();
    if (firstDigit < text.size() && IsDigit(text[firstDigit])) {
        int value = 0;
        const auto [last, error] = std::from_chars(text.data() + start, end, value);
        if (error == std::errc() && last == end) {
            return value;
        }
    }
    throw ConversionError(Quoted(text) + " is not a valid integer value");
}

std::string FormatFixed(double value, int decimals, char separator)
{
    if (std::optional<std::string> text = FormatFixedQuickly(value, decimals, separator)) {
        return *std::move(text);
    }
    if (!std::isfinite(value)) {
        return WriteNonFinite(value);
    }
    // Decided on the value before rounding: 99999999999.5 stays in fixed
    // notation and becomes 100000000000.
    if (std::fabs(value) >= kFixedLimit) {
        return WriteGeneral(RoundExact(value, kFixedSignificant, kExactDecimals), kFixedSignificant,
                            separator);
    }
    return WriteFixed(RoundExact(value, kFixedSignificant, decimals), decimals, separator);
}

std::string FormatGeneral(double value, char separator)
{
    if (!std::isfinite(value)) {
        return WriteNonFinite(value);
    }
    return WriteGeneral(RoundExact(value, kGeneralSignificant, kExactDecimals), kGeneralSignificant,
                        separator);
}

}  // namespace model
