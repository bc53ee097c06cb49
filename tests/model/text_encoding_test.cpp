#include "model/text_encoding.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using model::AppendUtf8;
using model::CutUtf8;
using model::CutUtf8InMiddle;
using model::FromWindows1251;
using model::FromWindows1252;
using model::IsValidUtf8;
using model::Trimmed;
using model::Utf16ToUtf8;
using model::VisibleControls;

TEST(CodePageTest, EveryByteReadsAsItsOwnCharacter)
{
    // Distinct bytes give distinct characters, so a decoded text can always
    // be told from another, and every one of them is written as valid UTF-8.
    std::set<char32_t> cp1251;
    std::set<char32_t> cp1252;
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        cp1251.insert(FromWindows1251(static_cast<unsigned char>(byte)));
        cp1252.insert(FromWindows1252(static_cast<unsigned char>(byte)));
        all += static_cast<char>(byte);
    }
    EXPECT_EQ(cp1251.size(), 256u);
    EXPECT_EQ(cp1252.size(), 256u);
    EXPECT_TRUE(IsValidUtf8(model::Windows1251ToUtf8(all)));
}

TEST(CodePageTest, ReadsLettersSignsAndUnassignedBytes)
{
    struct Case {
        unsigned char byte;
        char32_t cp1251;
        char32_t cp1252;
    };
    const Case cases[] = {
        {'A', U'A', U'A'},
        {0x80, U'Ђ', U'€'},
        {0x88, U'€', U'ˆ'},
        {0xB9, U'№', U'¹'},
        {0xA8, U'Ё', U'¨'},
        {0xC0, U'А', U'À'},
        {0xFF, U'я', U'ÿ'},
        // Unassigned: the C1 control of the same number.
        {0x98, U'\u0098', U'˜'},
        {0x81, U'Ѓ', U'\u0081'},
        {0x9D, U'ќ', U'\u009D'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.byte));
        EXPECT_EQ(FromWindows1251(c.byte), c.cp1251);
        EXPECT_EQ(FromWindows1252(c.byte), c.cp1252);
    }
}

TEST(Utf8Test, WritesEachLengthAndAcceptsOnlyStrictForms)
{
    std::string written;
    for (char32_t c : {U'a', U'ж', U'€', U'\U0001F600'})
        AppendUtf8(written, c);
    EXPECT_EQ(written, "aж€\U0001F600");
    EXPECT_TRUE(IsValidUtf8(written));

    struct Case {
        const char* name;
        std::string bytes;
        bool valid;
    };
    const Case cases[] = {
        {"empty", "", true},
        {"NUL", std::string(1, '\0'), true},
        {"highest code point", "\xF4\x8F\xBF\xBF", true},
        {"above U+10FFFF", "\xF4\x90\x80\x80", false},
        {"overlong", "\xC0\x80", false},
        {"overlong three bytes", "\xE0\x80\x80", false},
        {"surrogate", "\xED\xA0\x80", false},
        {"cut short", "\xD0", false},
        {"lone continuation", "\x80", false},
        {"Windows-1251", "\xC3\xEE\xE4", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsValidUtf8(c.bytes), c.valid);
    }
}

TEST(Utf8Test, CutsBetweenWholeCharactersWithAnEllipsis)
{
    struct Case {
        const char* name;
        std::string text;
        std::size_t maxBytes;
        std::string cut;
    };
    const Case cases[] = {
        {"short", "abc", 3, "abc"},
        {"long", "abcd", 3, "abc…"},
        {"Cyrillic cut at a boundary", "жжж", 4, "жж…"},
        {"Cyrillic cut inside a character", "жжж", 3, "ж…"},
        {"four-byte character", "a\U0001F600b", 4, "a…"},
        {"nothing whole fits", "жж", 1, "…"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CutUtf8(c.text, c.maxBytes), c.cut);
    }
}

TEST(Utf8Test, CutsInTheMiddleKeepingStartAndEnd)
{
    const std::string hundred(100, 'x');
    EXPECT_EQ(CutUtf8InMiddle(hundred, 100), hundred);

    const std::string path = "/home/" + std::string(200, 'a') + "/данные.txt";
    const std::string cut = CutUtf8InMiddle(path, 100);
    EXPECT_EQ(cut, path.substr(0, 50) + "…" + path.substr(path.size() - 50));

    // Two-byte characters either side of the cut are never split.
    std::string letters;
    for (int i = 0; i < 150; ++i)
        letters += "ж";
    std::string expected = "x";
    for (int i = 0; i < 24; ++i)
        expected += "ж";
    expected += "…";
    for (int i = 0; i < 25; ++i)
        expected += "ж";
    EXPECT_EQ(CutUtf8InMiddle("x" + letters, 100), expected);
}

TEST(VisibleControlsTest, WritesEveryControlCharacterVisibly)
{
    struct Case {
        std::string text;
        std::string visible;
    };
    const Case cases[] = {
        {"1520,5", "1520,5"},
        {std::string("12\0"
                     "5",
                     4),
         "12\\05"},
        {"a\tb\nc\rd", "a\\tb\\nc\\rd"},
        {"\x1B[31m\x7F", "\\x1B[31m\\x7F"},
        {"\x01\x1F", "\\x01\\x1F"},
        {"Труд\\ €", "Труд\\ €"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.visible);
        EXPECT_EQ(VisibleControls(c.text), c.visible);
    }
}

TEST(Utf16Test, DecodesBothOrdersPairsAndMarksWhatIsWrong)
{
    struct Case {
        const char* name;
        std::string bytes;
        bool bigEndian;
        std::string text;
    };
    const Case cases[] = {
        {"little endian", std::string("1\0:\0\x13\x04\r\0\n\0", 10), false, "1:Г\r\n"},
        {"big endian",
         std::string("\0"
                     "1\0:\x04\x13\0\r\0\n",
                     10),
         true, "1:Г\r\n"},
        {"surrogate pair", std::string("\x3D\xD8\0\xDE", 4), false, "\U0001F600"},
        {"lone surrogate and odd byte",
         std::string("\0\xDC"
                     "1",
                     3),
         false, "\uFFFD\uFFFD"},
        {"high surrogate last", std::string("\xD8\x3D", 2), true, "\uFFFD"},
        {"empty", "", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf16ToUtf8(c.bytes, c.bigEndian), c.text);
    }
}

TEST(TrimmedTest, DropsSpacesAndTabsAtBothEndsOnly)
{
    EXPECT_EQ(Trimmed(" X"), "X");
    EXPECT_EQ(Trimmed("\t Times New Roman \t"), "Times New Roman");
    EXPECT_EQ(Trimmed("Кол-во  наблюдений"), "Кол-во  наблюдений");
    EXPECT_EQ(Trimmed(" \t "), "");
    EXPECT_EQ(Trimmed("\n1\r"), "\n1\r");
}

}  // namespace
