// Number texts: any text through ParseNumber and ParseCount, any double
// (NaN, infinities and denormals included) through both formatters.
// Byte 0 chooses the separator and the decimals, bytes 1-8 are a double's
// bits, and the whole input is also a text to parse.

#include "fuzz/fuzz_check.h"
#include "model/number_text.h"
#include "model/text_encoding.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace {

// What FormatFixed(value, decimals) promises: `decimals` digits after the
// separator, and a text that reads back as a number.
void CheckFixed(double value, int decimals, char separator)
{
    const std::string text = model::FormatFixed(value, decimals, separator);
    if (!std::isfinite(value) || std::fabs(value) >= 1e11)
        return;
    const std::size_t point = text.find(separator);
    if (decimals == 0) {
        fuzz::Require(point == std::string::npos, "FormatFixed with no decimals writes no separator");
    } else {
        fuzz::Require(point != std::string::npos
                          && text.size() - point - 1 == static_cast<std::size_t>(decimals),
                      "FormatFixed writes exactly the decimals asked for");
    }
    const double back = model::ParseNumber(text, separator);
    fuzz::Require(std::fabs(back - value) <= 0.5 * std::pow(10.0, -decimals) + std::fabs(value) * 1e-10,
                  "FormatFixed's text reads back as the value rounded");
}

// FormatGeneral keeps 15 significant digits, which a double holds exactly:
// writing what its own text reads back as gives the same text.
void CheckGeneral(double value, char separator)
{
    const std::string text = model::FormatGeneral(value, separator);
    if (!std::isfinite(value))
        return;
    double back = 0;
    try {
        back = model::ParseNumber(text, separator);
    } catch (const model::ConversionError&) {
        // Rounded to 15 digits, the largest doubles exceed the largest double.
        fuzz::Require(std::fabs(value) > 1.797693134862315e308, "FormatGeneral's text reads back");
        return;
    }
    fuzz::Require(model::FormatGeneral(back, separator) == text, "FormatGeneral's text is a fixed point");
    fuzz::Require(std::fabs(back - value) <= std::fabs(value) * 1e-14,
                  "FormatGeneral's text reads back close");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const char separator = size > 0 && (data[0] & 1) != 0 ? '.' : ',';
    const int decimals = size > 0 ? (data[0] >> 1) % 16 : 6;

    // The checks stay outside the try blocks: a text a formatter wrote that
    // does not read back must fail, not pass as a refused input.
    std::optional<double> parsed;
    try {
        parsed = model::ParseNumber(text, separator);
    } catch (const model::ConversionError&) {
    }
    if (parsed) {
        fuzz::Require(std::isfinite(*parsed), "ParseNumber gives a finite value");
        CheckGeneral(*parsed, separator);
        CheckFixed(*parsed, decimals, separator);
    }
    std::optional<int> count;
    try {
        count = model::ParseCount(text);
    } catch (const model::ConversionError&) {
    }
    if (count)
        fuzz::Require(model::ParseNumber(text, separator) == *count,
                      "a count is also the number it reads as");

    // A separator that is a digit, sign, exponent letter or blank would read
    // as part of the number, so only a plain one must round-trip.
    const char anySeparator = size > 0 ? static_cast<char>(data[0]) : ',';
    const bool plain = !model::IsDigit(anySeparator)
                       && std::string_view("+-eE ").find(anySeparator) == std::string_view::npos;
    if (size >= 9) {
        double value = 0;
        std::memcpy(&value, data + 1, sizeof value);
        CheckGeneral(value, plain ? anySeparator : separator);
        CheckFixed(value, decimals, plain ? anySeparator : separator);
    }
    return 0;
}
