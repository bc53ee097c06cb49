#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// Conversions between numbers and the texts the tables hold. The decimal
// separator is always a parameter: the windows pass the user's.
namespace model {

// A text that is not the number it should be; what() is the message a user reads.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Optional spaces, optional sign, digits with an optional separator and
// fraction, optional exponent, optional spaces; a lone separator reads as 0
// and an underflow as 0.
// Throws ConversionError "'<text>' is not a valid floating point value" on
// any other text and on a value too large for a double; a text of more than
// 100 bytes is quoted by its first characters and an ellipsis, and a control
// character is written visibly (VisibleControls).
double ParseNumber(std::string_view text, char separator);

// A 32-bit integer. Throws ConversionError "'<text>' is not a valid integer
// value" (a long text quoted as ParseNumber quotes it) on the empty text, a
// separator or any other non-integer text.
int ParseCount(std::string_view text);

// Fixed-point text with exactly `decimals` digits after the separator,
// rounded to at most 11 significant digits (a dropped exact half away from
// zero). Values with more than 11 digits before the separator (judged
// before rounding) are written as FormatGeneral writes them, but at 11
// significant digits.
std::string FormatFixed(double value, int decimals, char separator);

// Shortest text of the value rounded to 15 significant digits: fixed
// notation for 0 and for magnitudes from 0.0001 with at most 15 integer
// digits, otherwise "d,dddE-n" exponent notation.
std::string FormatGeneral(double value, char separator);

}  // namespace model
