#include "model/rtf_reader.h"
#include "model/text_encoding.h"
#include "tests/case_name.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace model {

// Readable failure messages.
void PrintTo(const TextRun& run, std::ostream* out)
{
    *out << '"' << run.text << '"' << (run.bold ? " bold" : "") << (run.italic ? " italic" : "")
         << (run.underline ? " underline" : "") << ' ' << run.fontSize << "pt";
    if (run.color) {
        *out << " rgb(" << int{run.color->red} << ',' << int{run.color->green} << ',' << int{run.color->blue}
             << ')';
    }
    *out << " font '" << run.fontFamily << "'";
}

namespace {

using namespace std::string_literals;

// style holds any of 'b', 'i' and 'u'.
TextRun MakeRun(std::string text, std::string font = "", std::string_view style = "", double size = 12,
                std::optional<Rgb> color = std::nullopt)
{
    TextRun run;
    run.text = std::move(text);
    run.bold = style.find('b') != std::string_view::npos;
    run.italic = style.find('i') != std::string_view::npos;
    run.underline = style.find('u') != std::string_view::npos;
    run.fontSize = size;
    run.color = color;
    run.fontFamily = std::move(font);
    return run;
}

std::vector<std::string> Texts(const std::vector<Paragraph>& paragraphs)
{
    std::vector<std::string> texts;
    for (const Paragraph& paragraph : paragraphs) {
        std::string text;
        for (const TextRun& run : paragraph.runs) {
            text += run.text;
        }
        texts.push_back(text);
    }
    return texts;
}

std::string AllText(const std::vector<Paragraph>& paragraphs)
{
    std::string all;
    for (const std::string& text : Texts(paragraphs)) {
        all += text + '\n';
    }
    return all;
}

struct TextCase {
    const char* name;
    std::string rtf;
    std::vector<std::string> paragraphs;
};

class RtfTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(RtfTextTest, ReadsParagraphTexts)
{
    EXPECT_EQ(Texts(ReadRtf(GetParam().rtf)), GetParam().paragraphs);
}

const TextCase kTextCases[] = {
    {"Paragraphs", R"({\rtf1 one\par two\par\par three})", {"one", "two", "", "three"}},
    {"TrailingParAddsNoParagraph", R"({\rtf1 one\par})", {"one"}},
    {"LeadingBlanks", "\r\n {\\rtf1 a}", {"a"}},
    {"DelimiterSpaceAndLineEnds", "{\\rtf1 a\\b b\\b0  c\r\nd\n}", {"ab cd"}},
    {"Escapes", R"({\rtf1 \{x\} \\ a\~b co\-op x\_y})", {"{x} \\ a\u00A0b coop x\u2011y"}},
    {"LineAndTab", R"({\rtf1 a\line b\tab c})", {"a\nb\tc"}},
    {"NamedCharacters", R"({\rtf1\ldblquote a\rdblquote\emdash b\bullet})", {"\u201Ca\u201D\u2014b\u2022"}},
    {"BackslashNewlineEndsParagraph", "{\\rtf1 a\\\nb}", {"a", "b"}},
    {"Cp1251Bytes", R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8\'e2\'e5\'f2, \'b8\'e6 \'b9})", {"Привет, ёж №"}},
    {"Cp1252Bytes", R"({\rtf1\ansi\ansicpg1252 caf\'e9 \'80\'93})", {"café €\u201C"}},
    {"AnsiWithoutCodePageIs1252", R"({\rtf1\ansi caf\'E9})", {"café"}},
    {"UnescapedHighBytes", "{\\rtf1\\ansicpg1251 \xcf\xf0\xe8}", {"При"}},
    {"CyrillicFontCharset",
     R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fswiss Arial;}{\f1\froman\fcharset204 Times;}})"
     R"(\f1 \'c4\'e0 \f0 \'e9})",
     {"Да é"}},
    {"FontCodePage", R"({\rtf1\ansi{\fonttbl{\f0\fnil\cpg1251 Arial;}}\'e4})", {"д"}},
    {"UnicodeWithFallback", R"({\rtf1\uc1\u1055?\u1088?\u1080\'3f\u1074 ?})", {"Прив"}},
    {"UnicodeFallbackCounts", R"({\rtf1\uc2\u1044\'c4?x\uc0\u1044 y})", {"ДxДy"}},
    {"UnicodeNegativeAndSurrogatePair", R"({\rtf1\u-1280?\u-10179?\u-8704?})", {"\uFB00\U0001F600"}},
    {"UnpairedSurrogates", R"({\rtf1\u-10179?x\u-8704?})", {"\uFFFDx\uFFFD"}},
    {"FallbackEndsAtBrace", R"({\rtf1\uc3\u1044{x}y})", {"Дxy"}},
    {"UnicodeSkipIsScopedToGroup", R"({\rtf1{\uc2\u1044??}\u1044?x})", {"ДДx"}},
    {"SkippedDestinations",
     R"({\rtf1{\info{\title T}{\author A}}{\*\generator G;}{\stylesheet{\s0 Normal;}})"
     R"({\header H}{\footer F}{\pict\pngblip 89504e}body{\*\unknown{x}y}!{\*\fldinst x}})",
     {"body!"}},
    {"BinaryDataMayHoldBraces", "{\\rtf1 a{\\pict\\bin3 }}}b}c}", {"ac"}},
    {"FieldResultIsText", R"({\rtf1 see {\field{\*\fldinst HYPERLINK "x"}{\fldrslt here}}.})", {"see here."}},
    {"TableRows", R"({\rtf1\trowd a\cell b\cell\row\cell\cell c\cell\row})", {"a\tb", "\t\tc"}},
};

INSTANTIATE_TEST_SUITE_P(Rtf, RtfTextTest, testing::ValuesIn(kTextCases), CaseName());

constexpr const char* kTables = R"({\fonttbl{\f0\fswiss Arial;}{\f1\froman\fcharset204 Times New Roman;}})"
                                R"({\colortbl;\red255\green0\blue0;\red0\green128\blue0;})";
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 128, 0};

struct FormatCase {
    const char* name;
    std::string tables;
    std::string body;
    std::vector<TextRun> runs;
};

class RtfFormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(RtfFormatTest, SplitsTextIntoRuns)
{
    const FormatCase& c = GetParam();
    const auto paragraphs = ReadRtf("{\\rtf1\\deff0" + c.tables + c.body + "}");
    ASSERT_EQ(paragraphs.size(), 1u);
    EXPECT_EQ(paragraphs[0].runs, c.runs);
}

const FormatCase kFormatCases[] = {
    {"BoldToggles",
     kTables,
     R"(a\b b\b0 c)",
     {MakeRun("a", "Arial"), MakeRun("b", "Arial", "b"), MakeRun("c", "Arial")}},
    {"GroupRestores",
     kTables,
     R"(a{\b\i b}c)",
     {MakeRun("a", "Arial"), MakeRun("b", "Arial", "bi"), MakeRun("c", "Arial")}},
    {"UnderlineStyles",
     kTables,
     R"(\ul a\ulnone b\uldb c\ul0 d)",
     {MakeRun("a", "Arial", "u"), MakeRun("b", "Arial"), MakeRun("c", "Arial", "u"), MakeRun("d", "Arial")}},
    {"PlainResets",
     kTables,
     R"(\b\i\ul\fs40\cf1\f1 a\plain b)",
     {MakeRun("a", "Times New Roman", "biu", 20, kRed), MakeRun("b", "Arial")}},
    {"FontSizeInHalfPoints",
     kTables,
     R"(\fs21 a\fs b)",
     {MakeRun("a", "Arial", "", 10.5), MakeRun("b", "Arial")}},
    {"Colours",
     kTables,
     R"(\cf1 r\cf0 a\cf2 g\cf9 z)",
     {MakeRun("r", "Arial", "", 12, kRed), MakeRun("a", "Arial"), MakeRun("g", "Arial", "", 12, kGreen),
      MakeRun("z", "Arial")}},
    {"SameLookMerges", kTables, R"(\cf0 a\cf9 b\f0 c{}d{\b}e)", {MakeRun("abcde", "Arial")}},
    {"Fonts",
     kTables,
     R"(a\f1 b\f7 c)",
     {MakeRun("a", "Arial"), MakeRun("b", "Times New Roman"), MakeRun("c")}},
    {"FontTableWithoutGroups",
     R"({\fonttbl\f0\fnil Courier New;\f1\fnil Symbol;})",
     R"(a\f1 b)",
     {MakeRun("a", "Courier New"), MakeRun("b", "Symbol")}},
    {"FontNameAlternatives",
     R"({\fonttbl{\f0\froman\fcharset204{\*\panose 02020603050405020304}Times New Roman{\*\falt Times};}})",
     "a",
     {MakeRun("a", "Times New Roman")}},
    {"CyrillicFontName",
     R"({\fonttbl{\f0\fnil\fcharset204 \'c0\'f0\'e8\'e0\'eb;}})",
     "a",
     {MakeRun("a", "Ариал")}},
    {"NoFontTable", "", "a", {MakeRun("a")}},
    {"ColourZeroFollowsTheTable",
     R"({\colortbl\red0\green0\blue0;\red255\green0\blue0;})",
     R"(\cf0 k\cf1 r)",
     {MakeRun("k", "", "", 12, Rgb{}), MakeRun("r", "", "", 12, kRed)}},
};

INSTANTIATE_TEST_SUITE_P(Rtf, RtfFormatTest, testing::ValuesIn(kFormatCases), CaseName());

TEST(RtfAlignment, TakesParagraphPropertiesAtPar)
{
    const auto paragraphs =
        ReadRtf(R"({\rtf1\qc a\par b\par\pard c\par\qr d\par\qj e\par{\qc f\par}g\par\qc h})");
    std::vector<Alignment> alignments;
    for (const Paragraph& paragraph : paragraphs) {
        alignments.push_back(paragraph.alignment);
    }
    EXPECT_EQ(alignments, (std::vector<Alignment>{Alignment::Center, Alignment::Center, Alignment::Left,
                                                  Alignment::Right, Alignment::Left, Alignment::Center,
                                                  Alignment::Left, Alignment::Center}));
}

TEST(RtfAlignment, SpacingInTwipsBecomesPointsAndPardResetsIt)
{
    const auto paragraphs = ReadRtf(R"({\rtf1\sb240\sa120 a\par b\par\pard c\par})");
    ASSERT_EQ(paragraphs.size(), 3u);
    EXPECT_EQ(paragraphs[0].spaceBefore, 12);
    EXPECT_EQ(paragraphs[1].spaceAfter, 6);
    EXPECT_EQ(paragraphs[2].spaceBefore, 0);
    EXPECT_EQ(paragraphs[2].spaceAfter, 0);
}

class RtfMalformedTest : public testing::TestWithParam<TextCase> {};

TEST_P(RtfMalformedTest, ReadsWhatCanBeRead)
{
    EXPECT_EQ(Texts(ReadRtf(GetParam().rtf)), GetParam().paragraphs);
}

const TextCase kMalformedCases[] = {
    {"ExtraClosingBraceEndsDocument", R"({\rtf1 a}}b})", {"a"}},
    {"TextAfterDocumentIgnored", R"({\rtf1 a} more {\b text})", {"a"}},
    {"MissingClosingBraces", R"({\rtf1{\b a\par b)", {"a", "b"}},
    {"TruncatedControlWord", R"({\rtf1 a\b)", {"a"}},
    {"TruncatedAfterBackslash", R"({\rtf1 a\)", {"a"}},
    {"TruncatedHexEscape", R"({\rtf1 a\'c)", {"a"}},
    {"BadHexEscape", R"({\rtf1 a\'zz\'cz)", {"azzz"}},
    {"TruncatedUnicode", R"({\rtf1 a\u10)", {"a"}},
    {"TruncatedBinary", R"({\rtf1 a{\pict\bin999 xyz)", {"a"}},
    {"TruncatedSkippedGroup", R"({\rtf1 a{\*\x b)", {"a"}},
    {"TruncatedFontTable", R"({\rtf1{\fonttbl{\f0 Ari)", {}},
    {"HugeParameters", R"({\rtf1\fs99999999999999999999 a\cf-99999999999 b\u99999999999?c})", {"ab\uFFFDc"}},
    {"ControlCharactersDropped",
     "{\\rtf1 a\0b\x01\x7f"
     "c}"s,
     {"abc"}},
    {"DestinationsOutsideGroupsIgnored", R"({\rtf1\fonttbl a\pict b\*c})", {"abc"}},
};

INSTANTIATE_TEST_SUITE_P(Rtf, RtfMalformedTest, testing::ValuesIn(kMalformedCases), CaseName());

TEST(RtfNotRtf, Throws)
{
    const std::string inputs[] = {
        "", "  \r\n", "hello", "{\\rt", "{\\urtf1 a}", "\xff\xfe{\\rtf1}", "rtf {\\rtf1 a}"};
    for (const std::string& input : inputs) {
        EXPECT_THROW(ReadRtf(input), RtfError) << input;
    }
}

TEST(RtfDeepNesting, UsesNoRecursion)
{
    constexpr int kDepth = 100000;
    const std::string open(kDepth, '{');
    const std::string close(kDepth, '}');

    const auto closed = ReadRtf("{\\rtf1 " + open + "\\b x" + close + " y}");
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0].runs, (std::vector<TextRun>{MakeRun("x", "", "b"), MakeRun(" y")}));

    EXPECT_EQ(Texts(ReadRtf("{\\rtf1 " + open + "x")), std::vector<std::string>{"x"});
    EXPECT_EQ(Texts(ReadRtf("{\\rtf1 a{\\*\\x " + open + close + "}b}")), std::vector<std::string>{"ab"});
}

// Random mixtures of RTF tokens and bytes must keep the model's promises.
TEST(RtfRandomInput, KeepsInvariants)
{
    const std::string tokens[] = {
        "{",     "}",     "\\",     "\\'",       "\\'c4",      "\\u",  "\\u-10179", "\\uc2",
        "\\b",   "\\par", "\\line", "\\fonttbl", "\\colortbl", "\\f",  "\\cf",      "\\*",
        "\\bin", "\\red", "\\pict", "\\cell",    "\\row",      "\\qc", "\\plain",   ";",
        "-",     "1",     "9",      " ",         "a",          "\xcf", "\r\n"};
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> token(0, std::size(tokens) - 1);
    for (int sample = 0; sample < 500; ++sample) {
        std::string rtf = "{\\rtf1";
        const int length = std::uniform_int_distribution<int>(0, 400)(random);
        for (int i = 0; i < length; ++i) {
            if (sample % 4 == 0) {
                rtf += static_cast<char>(byte(random));
            } else {
                rtf += tokens[token(random)];
            }
        }
        SCOPED_TRACE(rtf);
        std::vector<Paragraph> paragraphs;
        ASSERT_NO_THROW(paragraphs = ReadRtf(rtf));
        for (const Paragraph& paragraph : paragraphs) {
            for (std::size_t i = 0; i < paragraph.runs.size(); ++i) {
                const TextRun& run = paragraph.runs[i];
                EXPECT_FALSE(run.text.empty());
                EXPECT_TRUE(IsValidUtf8(run.text));
                if (i > 0) {
                    TextRun previous = paragraph.runs[i - 1];
                    previous.text = run.text;
                    EXPECT_NE(previous, run);
                }
            }
        }
    }
}

TEST(RtfRandomInput, RandomBytesAreNotRtf)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int sample = 0; sample < 100; ++sample) {
        std::string input(1000, '\0');
        for (char& c : input) {
            c = static_cast<char>(byte(random));
        }
        EXPECT_THROW(ReadRtf(input), RtfError);
    }
}

TEST(RtfShippedDocument, ReadsCleanly)
{
    const auto path = std::filesystem::path(COBB_RESOURCE_DIR) / u8"о программе.rtf";
    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file) << path;
    std::stringstream bytes;
    bytes << file.rdbuf();

    const auto paragraphs = ReadRtf(bytes.str());
    ASSERT_GT(paragraphs.size(), 10u);
    ASSERT_FALSE(paragraphs[0].runs.empty());
    EXPECT_EQ(paragraphs[0].alignment, Alignment::Center);
    EXPECT_TRUE(paragraphs[0].runs[0].bold);

    const std::string text = AllText(paragraphs);
    for (const char* phrase : {"Кол-во наблюдений", "Производство(Y)", "Прогнозирование показателей",
                               "X = ln(K/L)", "1520,5:310:42", "R²", "«Вычислить»"}) {
        EXPECT_NE(text.find(phrase), std::string::npos) << phrase;
    }
    // Leaked markup or undecodable bytes would show up as these.
    for (const char* leak : {"\\", "{", "}", "\uFFFD", "Times New Roman"}) {
        EXPECT_EQ(text.find(leak), std::string::npos) << leak;
    }
}

}  // namespace
}  // namespace model
