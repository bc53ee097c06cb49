#include "model/text_encoding.h"

#include <array>
#include <cstdio>

namespace model {

namespace {

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Stands in a table for a byte the code page leaves unassigned.
constexpr char16_t kUnassigned = 0;

// Eight bytes a line, as code-page charts lay them out.
// clang-format off
// Windows-1251 bytes 0x80 .. 0xBF; 0xC0 .. 0xFF are U+0410 .. U+044F in order.
constexpr std::array<char16_t, 64> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    kUnassigned, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

// Windows-1252 bytes 0x80 .. 0x9F; 0xA0 .. 0xFF are Latin-1.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, kUnassigned, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, kUnassigned, 0x017D, kUnassigned,
    kUnassigned, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, kUnassigned, 0x017E, 0x0178,
};
// clang-format on

char32_t FromHighTable(char16_t entry, unsigned char byte)
{
    return entry == kUnassigned ? byte : entry;
}

}  // namespace

char32_t FromWindows1251(unsigned char byte)
{
    if (byte < 0x80)
        return byte;
    if (byte >= 0xC0)
        return U'\u0410' + (byte - 0xC0);
    return FromHighTable(kCp1251High[byte - 0x80], byte);
}

char32_t FromWindows1252(unsigned char byte)
{
    if (byte < 0x80 || byte >= 0xA0)
        return byte;
    return FromHighTable(kCp1252High[byte - 0x80], byte);
}

std::string Windows1251ToUtf8(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char byte : bytes)
        AppendUtf8(text, FromWindows1251(static_cast<unsigned char>(byte)));
    return text;
}

void AppendUtf8(std::string& text, char32_t codePoint)
{
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (codePoint >> 18));
        text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

bool IsValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = (lead & 0xE0) == 0xC0   ? 2
                                   : (lead & 0xF0) == 0xE0 ? 3
                                   : (lead & 0xF8) == 0xF0 ? 4
                                                           : 0;
        if (length == 0)
            return false;
        constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        char32_t codePoint = lead & (0x7F >> length);
        if (bytes.size() - i < length)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        if (codePoint < kSmallest[length] || codePoint > 0x10FFFF
            || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

std::string CutUtf8(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return std::string(text);
    std::size_t end = maxBytes;
    while (end > 0 && IsContinuationByte(text[end]))
        --end;
    return std::string(text.substr(0, end)) + "\u2026";
}

std::string CutUtf8InMiddle(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return std::string(text);
    std::size_t headEnd = maxBytes / 2;
    while (headEnd > 0 && IsContinuationByte(text[headEnd]))
        --headEnd;
    std::size_t tailStart = text.size() - maxBytes / 2;
    while (tailStart < text.size() && IsContinuationByte(text[tailStart]))
        ++tailStart;
    return std::string(text.substr(0, headEnd)) + "\u2026" + std::string(text.substr(tailStart));
}

std::string VisibleControls(std::string_view text)
{
    std::string visible;
    visible.reserve(text.size());
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 0x20 && code != 0x7F) {
            visible += c;
            continue;
        }
        switch (c) {
        case '\0':
            visible += "\\0";
            break;
        case '\t':
            visible += "\\t";
            break;
        case '\n':
            visible += "\\n";
            break;
        case '\r':
            visible += "\\r";
            break;
        default: {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", code);
            visible += escape;
        }
        }
    }
    return visible;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian)
{
    constexpr char32_t kReplacementCharacter = 0xFFFD;
    const auto unitAt = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? first << 8 | second : second << 8 | first);
    };
    const auto isHigh = [](char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
    const auto isLow = [](char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
    std::string text;
    text.reserve(bytes.size() * 3 / 2);
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char32_t unit = unitAt(i);
        if (isHigh(unit) && i + 3 < bytes.size() && isLow(unitAt(i + 2))) {
            AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00));
            i += 2;
        } else {
            AppendUtf8(text, isHigh(unit) || isLow(unit) ? kReplacementCharacter : unit);
        }
    }
    if (i < bytes.size())
        AppendUtf8(text, kReplacementCharacter);
    return text;
}

std::string Trimmed(std::string_view text)
{
    constexpr std::string_view kBlanks = " \t";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(kBlanks) - first + 1));
}

}  // namespace model
