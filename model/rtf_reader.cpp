#include "model/rtf_reader.h"

#include "model/text_encoding.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <unordered_map>
#include <utility>

namespace model {
namespace {

constexpr std::size_t kMaxGroupDepth = 1024;
constexpr int kDefaultHalfPoints = 24;
constexpr int kDocumentDefaultFont = -1;  // \plain and the start select \deff
constexpr char32_t kReplacement = 0xFFFD;

// 0 for a code page \'hh bytes cannot be read in; those read as 1252.
int SupportedCodePage(int codePage)
{
    return codePage == 1251 || codePage == 1252 ? codePage : 0;
}

char32_t Decode(unsigned char byte, int codePage)
{
    return codePage == 1251 ? FromWindows1251(byte) : FromWindows1252(byte);
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int HexValue(char c)
{
    if (IsDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// \uN writes UTF-16 units as signed 16-bit numbers.
char32_t UnicodeValue(int parameter)
{
    const long long value = parameter < 0 ? parameter + 65536LL : parameter;
    return value < 0 || value > 0x10FFFF ? kReplacement : static_cast<char32_t>(value);
}

// The actions by kind, and below the words two a line.
// clang-format off
enum class Action {
    Paragraph, ResetParagraph, Character, Cell,
    Bold, Italic, Underline, UnderlineNone, Plain, FontSize, Color, Font,
    AlignLeft, AlignCenter, AlignRight, SpaceBefore, SpaceAfter, Unicode, UnicodeSkip,
    Ansi, AnsiCodePage, DefaultFont, FontCharset, FontCodePage,
    Red, Green, Blue, FontTable, ColorTable, Skip,
};
// clang-format on

struct WordMeaning {
    // cppcheck-suppress unusedStructMember ; read through the map of Words()
    Action action;
    char32_t character = 0;  // of Action::Character
};

// Control words not listed here do not change what is read.
const std::unordered_map<std::string_view, WordMeaning>& Words()
{
    // clang-format off
    static const std::unordered_map<std::string_view, WordMeaning> words = {
        {"par", {Action::Paragraph}}, {"row", {Action::Paragraph}},
        {"nestrow", {Action::Paragraph}}, {"pard", {Action::ResetParagraph}},
        {"cell", {Action::Cell}}, {"nestcell", {Action::Cell}},
        {"line", {Action::Character, '\n'}}, {"tab", {Action::Character, '\t'}},
        {"emdash", {Action::Character, 0x2014}}, {"endash", {Action::Character, 0x2013}},
        {"emspace", {Action::Character, 0x2003}}, {"enspace", {Action::Character, 0x2002}},
        {"qmspace", {Action::Character, 0x2005}}, {"bullet", {Action::Character, 0x2022}},
        {"lquote", {Action::Character, 0x2018}}, {"rquote", {Action::Character, 0x2019}},
        {"ldblquote", {Action::Character, 0x201C}}, {"rdblquote", {Action::Character, 0x201D}},
        {"b", {Action::Bold}}, {"i", {Action::Italic}},
        {"ul", {Action::Underline}}, {"uld", {Action::Underline}},
        {"uldash", {Action::Underline}}, {"uldashd", {Action::Underline}},
        {"uldashdd", {Action::Underline}}, {"uldb", {Action::Underline}},
        {"ulhwave", {Action::Underline}}, {"ulldash", {Action::Underline}},
        {"ulth", {Action::Underline}}, {"ulthd", {Action::Underline}},
        {"ulthdash", {Action::Underline}}, {"ulthdashd", {Action::Underline}},
        {"ulthdashdd", {Action::Underline}}, {"ulthldash", {Action::Underline}},
        {"ululdbwave", {Action::Underline}}, {"ulw", {Action::Underline}},
        {"ulwave", {Action::Underline}}, {"ulnone", {Action::UnderlineNone}},
        {"plain", {Action::Plain}}, {"fs", {Action::FontSize}},
        {"cf", {Action::Color}}, {"f", {Action::Font}},
        {"ql", {Action::AlignLeft}}, {"qj", {Action::AlignLeft}},
        {"qd", {Action::AlignLeft}}, {"qc", {Action::AlignCenter}},
        {"qr", {Action::AlignRight}}, {"sb", {Action::SpaceBefore}},
        {"sa", {Action::SpaceAfter}}, {"u", {Action::Unicode}},
        {"uc", {Action::UnicodeSkip}}, {"ansi", {Action::Ansi}},
        {"ansicpg", {Action::AnsiCodePage}}, {"deff", {Action::DefaultFont}},
        {"fcharset", {Action::FontCharset}}, {"cpg", {Action::FontCodePage}},
        {"red", {Action::Red}}, {"green", {Action::Green}}, {"blue", {Action::Blue}},
        {"fonttbl", {Action::FontTable}}, {"colortbl", {Action::ColorTable}},
        {"info", {Action::Skip}}, {"stylesheet", {Action::Skip}},
        {"pict", {Action::Skip}}, {"nonshppict", {Action::Skip}},
        {"object", {Action::Skip}}, {"do", {Action::Skip}},
        {"header", {Action::Skip}}, {"headerl", {Action::Skip}},
        {"headerr", {Action::Skip}}, {"headerf", {Action::Skip}},
        {"footer", {Action::Skip}}, {"footerl", {Action::Skip}},
        {"footerr", {Action::Skip}}, {"footerf", {Action::Skip}},
        {"footnote", {Action::Skip}}, {"annotation", {Action::Skip}},
        {"ftnsep", {Action::Skip}}, {"ftnsepc", {Action::Skip}},
        {"ftncn", {Action::Skip}}, {"aftnsep", {Action::Skip}},
        {"aftnsepc", {Action::Skip}}, {"aftncn", {Action::Skip}},
        {"listtable", {Action::Skip}}, {"listoverridetable", {Action::Skip}},
        {"revtbl", {Action::Skip}}, {"rsidtbl", {Action::Skip}},
        {"filetbl", {Action::Skip}}, {"pn", {Action::Skip}},
        {"fldinst", {Action::Skip}}, {"xe", {Action::Skip}},
        {"tc", {Action::Skip}}, {"tcn", {Action::Skip}}, {"txe", {Action::Skip}},
    };
    // clang-format on
    return words;
}

enum class Destination : std::uint8_t { Text, FontTable, ColorTable };

// What a group saves on '{' and restores on '}'.
struct State {
    Destination destination = Destination::Text;
    Alignment alignment = Alignment::Left;
    int spaceBeforeTwips = 0;
    int spaceAfterTwips = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = kDefaultHalfPoints;
    int color = 0;
    int font = kDocumentDefaultFont;
    int unicodeSkip = 1;  // \uc

    bool sameCharacterFormat(const State& other) const
    {
        return bold == other.bold && italic == other.italic && underline == other.underline
               && halfPoints == other.halfPoints && color == other.color && font == other.font;
    }
};

bool SameFormat(const TextRun& a, const TextRun& b)
{
    return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline && a.fontSize == b.fontSize
           && a.color == b.color && a.fontFamily == b.fontFamily;
}

struct Font {
    std::string name;
    int codePage = 0;    // 0: the document's
    bool named = false;  // ';' seen: the rest of the entry is not the name
};

struct Control {
    std::string_view word;  // empty for a control symbol
    std::optional<int> parameter;
    char symbol = 0;  // 0 at the end of the input
    int byte = -1;    // of a complete \'hh
};

class Reader {
public:
    explicit Reader(std::string_view input) : m_input(input) {}

    // Needs m_input[start] to be the document's opening brace.
    std::vector<Paragraph> read(std::size_t start);

private:
    Control readControl();
    void control(const Control& control);
    void brace(char c);
    void closeGroup();
    bool nested() const { return m_saved.size() + m_unsavedDepth >= 2; }
    void skipGroup();
    void symbol(const Control& control);
    void word(std::string_view word, std::optional<int> parameter);
    // Paragraph and cell ends, characters and \uN.
    void textWord(const WordMeaning& meaning, std::optional<int> parameter);
    // Character and paragraph formatting.
    void formatWord(Action action, std::optional<int> parameter);
    // Code pages, the font and colour tables and skipped destinations.
    void documentWord(Action action, int value);
    void byte(unsigned char byte);
    void output(char32_t c);
    void flushSurrogate();
    void emit(char32_t c);
    void appendText(char32_t c);
    void startRun();
    void endParagraph();
    // The paragraph takes the alignment and spacing in force where its text is.
    void takeParagraphFormat();
    void colorComponent(std::uint8_t Rgb::*component, int value);
    void endColor();
    const Font* font(int number) const;
    int codePage() const;

    std::string_view m_input;
    std::size_t m_pos = 0;
    bool m_ended = false;

    State m_state;
    std::vector<State> m_saved;
    std::size_t m_unsavedDepth = 0;  // groups beyond kMaxGroupDepth
    std::size_t m_skipDepth = 0;     // > 0: inside a skipped destination, counting its braces
    int m_fallbackLeft = 0;          // characters after \uN that stand in for it
    char32_t m_highSurrogate = 0;

    int m_codePage = 1252;
    int m_defaultFont = 0;
    std::unordered_map<int, Font> m_fonts;
    Font* m_definedFont = nullptr;  // element references survive rehashing
    std::vector<std::optional<Rgb>> m_colors;
    Rgb m_definedColor;
    bool m_colorHasComponents = false;

    std::vector<Paragraph> m_paragraphs;
    Paragraph m_paragraph;
    State m_runState;       // the formatting of m_paragraph.runs.back()
    int m_pendingTabs = 0;  // ended table cells not yet followed by text
};

std::vector<Paragraph> Reader::read(std::size_t start)
{
    m_pos = start;
    while (m_pos < m_input.size() && !m_ended) {
        const char c = m_input[m_pos++];
        if (c == '\\') {
            control(readControl());
        } else if (c == '{' || c == '}') {
            brace(c);
        } else if (m_skipDepth > 0 || c == '\r' || c == '\n') {
            continue;
        } else if (m_fallbackLeft > 0) {
            --m_fallbackLeft;
        } else {
            byte(static_cast<unsigned char>(c));
        }
    }
    flushSurrogate();
    if (!m_paragraph.runs.empty()) {
        m_paragraphs.push_back(std::move(m_paragraph));
    }
    return std::move(m_paragraphs);
}

Control Reader::readControl()
{
    Control control;
    if (m_pos >= m_input.size()) {
        return control;
    }
    if (!IsLetter(m_input[m_pos])) {
        control.symbol = m_input[m_pos++];
        if (control.symbol == '\'') {
            // A byte needs two hex digits; a lone one is dropped with the escape.
            int value = 0;
            int digits = 0;
            for (; digits < 2 && m_pos < m_input.size() && HexValue(m_input[m_pos]) >= 0; ++digits) {
                value = value * 16 + HexValue(m_input[m_pos++]);
            }
            control.byte = digits == 2 ? value : -1;
        }
        return control;
    }
    const std::size_t start = m_pos;
    while (m_pos < m_input.size() && IsLetter(m_input[m_pos])) {
        ++m_pos;
    }
    control.word = m_input.substr(start, m_pos - start);
    const bool negative = m_pos + 1 < m_input.size() && m_input[m_pos] == '-' && IsDigit(m_input[m_pos + 1]);
    if (negative) {
        ++m_pos;
    }
    if (m_pos < m_input.size() && IsDigit(m_input[m_pos])) {
        // Saturates, but still consumes every digit.
        long long value = 0;
        while (m_pos < m_input.size() && IsDigit(m_input[m_pos])) {
            value = std::min<long long>(value * 10 + (m_input[m_pos] - '0'), INT_MAX);
            ++m_pos;
        }
        control.parameter = static_cast<int>(negative ? -value : value);
    }
    if (m_pos < m_input.size() && m_input[m_pos] == ' ') {
        ++m_pos;
    }
    return control;
}

void Reader::control(const Control& control)
{
    if (control.word == "bin") {
        // Raw bytes that may hold anything, braces included.
        const auto length = static_cast<std::size_t>(std::max(0, control.parameter.value_or(0)));
        m_pos += std::min(length, m_input.size() - m_pos);
    } else if (m_skipDepth > 0) {
        return;
    } else if (m_fallbackLeft > 0) {
        --m_fallbackLeft;
    } else if (control.word.empty()) {
        symbol(control);
    } else {
        word(control.word, control.parameter);
    }
}

void Reader::brace(char c)
{
    m_fallbackLeft = 0;
    if (m_skipDepth > 0) {
        if (c == '{') {
            ++m_skipDepth;
        } else if (--m_skipDepth == 0) {
            closeGroup();
        }
    } else if (c == '}') {
        closeGroup();
    } else if (m_saved.size() < kMaxGroupDepth) {
        m_saved.push_back(m_state);
    } else {
        ++m_unsavedDepth;
    }
}

void Reader::closeGroup()
{
    if (m_unsavedDepth > 0) {
        --m_unsavedDepth;
        return;
    }
    m_state = m_saved.back();
    m_saved.pop_back();
    m_ended = m_saved.empty();
}

void Reader::skipGroup()
{
    // A destination word outside any group would swallow the whole document.
    if (nested()) {
        m_skipDepth = 1;
    }
}

void Reader::symbol(const Control& control)
{
    switch (control.symbol) {
    case '\'':
        if (control.byte >= 0) {
            byte(static_cast<unsigned char>(control.byte));
        }
        break;
    case '*':
        skipGroup();
        break;
    case '~':
        output(0x00A0);
        break;
    case '_':
        output(0x2011);
        break;
    case '{':
    case '}':
    case '\\':
        output(static_cast<unsigned char>(control.symbol));
        break;
    case '\r':
    case '\n':
        if (m_state.destination == Destination::Text) {
            endParagraph();
        }
        break;
    default:  // \- (optional hyphen) and symbols without text
        break;
    }
}

void Reader::word(std::string_view word, std::optional<int> parameter)
{
    const auto found = Words().find(word);
    if (found == Words().end()) {
        return;
    }
    // Each acts on its own kind of word and passes over the others.
    textWord(found->second, parameter);
    formatWord(found->second.action, parameter);
    documentWord(found->second.action, parameter.value_or(0));
}

void Reader::textWord(const WordMeaning& meaning, std::optional<int> parameter)
{
    const bool text = m_state.destination == Destination::Text;
    switch (meaning.action) {
    case Action::Paragraph:
        if (text) {
            endParagraph();
        }
        break;
    case Action::Character:
        if (text) {
            flushSurrogate();
            emit(meaning.character);
        }
        break;
    case Action::Cell:
        if (text) {
            ++m_pendingTabs;
        }
        break;
    case Action::Unicode:
        if (parameter) {
            output(UnicodeValue(*parameter));
            m_fallbackLeft = m_state.unicodeSkip;
        }
        break;
    case Action::UnicodeSkip:
        m_state.unicodeSkip = std::max(0, parameter.value_or(1));
        break;
    default:  // not a word of this kind
        break;
    }
}

void Reader::formatWord(Action action, std::optional<int> parameter)
{
    const bool on = parameter.value_or(1) != 0;
    const int value = parameter.value_or(0);
    switch (action) {
    case Action::Bold:
        m_state.bold = on;
        break;
    case Action::Italic:
        m_state.italic = on;
        break;
    case Action::Underline:
        m_state.underline = on;
        break;
    case Action::UnderlineNone:
        m_state.underline = false;
        break;
    case Action::Plain:
        m_state.bold = m_state.italic = m_state.underline = false;
        m_state.halfPoints = kDefaultHalfPoints;
        m_state.color = 0;
        m_state.font = kDocumentDefaultFont;
        break;
    case Action::FontSize:
        m_state.halfPoints = value > 0 ? value : kDefaultHalfPoints;
        break;
    case Action::Color:
        m_state.color = value;
        break;
    case Action::Font:
        if (m_state.destination == Destination::FontTable) {
            m_definedFont = &m_fonts[value];
            *m_definedFont = Font{};
        } else {
            m_state.font = value;
        }
        break;
    case Action::ResetParagraph:
        m_state.alignment = Alignment::Left;
        m_state.spaceBeforeTwips = m_state.spaceAfterTwips = 0;
        break;
    case Action::AlignLeft:
        m_state.alignment = Alignment::Left;
        break;
    case Action::AlignCenter:
        m_state.alignment = Alignment::Center;
        break;
    case Action::AlignRight:
        m_state.alignment = Alignment::Right;
        break;
    case Action::SpaceBefore:
        m_state.spaceBeforeTwips = std::max(value, 0);
        break;
    case Action::SpaceAfter:
        m_state.spaceAfterTwips = std::max(value, 0);
        break;
    default:  // not a word of this kind
        break;
    }
}

void Reader::documentWord(Action action, int value)
{
    switch (action) {
    case Action::Ansi:
        m_codePage = 1252;
        break;
    case Action::AnsiCodePage:
        m_codePage = SupportedCodePage(value) != 0 ? value : 1252;
        break;
    case Action::DefaultFont:
        m_defaultFont = value;
        break;
    case Action::FontCharset:
        // 204 is Cyrillic; ANSI and the rest read in the document's code page.
        if (m_state.destination == Destination::FontTable && m_definedFont != nullptr) {
            m_definedFont->codePage = value == 204 ? 1251 : 0;
        }
        break;
    case Action::FontCodePage:
        if (m_state.destination == Destination::FontTable && m_definedFont != nullptr
            && SupportedCodePage(value) != 0) {
            m_definedFont->codePage = value;
        }
        break;
    case Action::Red:
        colorComponent(&Rgb::red, value);
        break;
    case Action::Green:
        colorComponent(&Rgb::green, value);
        break;
    case Action::Blue:
        colorComponent(&Rgb::blue, value);
        break;
    case Action::FontTable:
        if (nested()) {
            m_state.destination = Destination::FontTable;
        }
        break;
    case Action::ColorTable:
        if (nested()) {
            m_state.destination = Destination::ColorTable;
        }
        break;
    case Action::Skip:
        skipGroup();
        break;
    default:  // not a word of this kind
        break;
    }
}

void Reader::byte(unsigned char byte)
{
    if (m_state.destination == Destination::ColorTable) {
        if (byte == ';') {
            endColor();
        }
        return;
    }
    if (m_state.destination == Destination::FontTable && byte == ';') {
        if (m_definedFont != nullptr) {
            m_definedFont->named = true;
        }
        return;
    }
    output(Decode(byte, codePage()));
}

void Reader::output(char32_t c)
{
    if (c >= 0xDC00 && c <= 0xDFFF && m_highSurrogate != 0) {
        c = 0x10000 + ((m_highSurrogate - 0xD800) << 10) + (c - 0xDC00);
        m_highSurrogate = 0;
    } else {
        flushSurrogate();
        if (c >= 0xD800 && c <= 0xDBFF) {
            m_highSurrogate = c;
            return;
        }
        if (c >= 0xDC00 && c <= 0xDFFF) {
            c = kReplacement;
        }
    }
    // Breaks and tabs come only from control words.
    if (c < 0x20 || c == 0x7F) {
        return;
    }
    emit(c);
}

void Reader::flushSurrogate()
{
    if (m_highSurrogate != 0) {
        m_highSurrogate = 0;
        emit(kReplacement);
    }
}

void Reader::emit(char32_t c)
{
    switch (m_state.destination) {
    case Destination::Text:
        appendText(c);
        break;
    case Destination::FontTable:
        if (m_definedFont != nullptr && !m_definedFont->named) {
            AppendUtf8(m_definedFont->name, c);
        }
        break;
    case Destination::ColorTable:
        break;
    }
}

void Reader::appendText(char32_t c)
{
    for (int tabs = std::exchange(m_pendingTabs, 0); tabs > 0; --tabs) {
        appendText('\t');
    }
    if (m_paragraph.runs.empty() || !m_runState.sameCharacterFormat(m_state)) {
        startRun();
    }
    AppendUtf8(m_paragraph.runs.back().text, c);
    takeParagraphFormat();
}

void Reader::takeParagraphFormat()
{
    constexpr double kTwipsPerPoint = 20;
    m_paragraph.alignment = m_state.alignment;
    m_paragraph.spaceBefore = m_state.spaceBeforeTwips / kTwipsPerPoint;
    m_paragraph.spaceAfter = m_state.spaceAfterTwips / kTwipsPerPoint;
}

void Reader::startRun()
{
    m_runState = m_state;
    TextRun run;
    run.bold = m_state.bold;
    run.italic = m_state.italic;
    run.underline = m_state.underline;
    run.fontSize = m_state.halfPoints / 2.0;
    if (m_state.color >= 0 && static_cast<std::size_t>(m_state.color) < m_colors.size()) {
        run.color = m_colors[static_cast<std::size_t>(m_state.color)];
    }
    if (const Font* font = this->font(m_state.font)) {
        run.fontFamily = Trimmed(font->name);
    }
    // Different colour or font numbers may still look the same.
    if (m_paragraph.runs.empty() || !SameFormat(m_paragraph.runs.back(), run)) {
        m_paragraph.runs.push_back(std::move(run));
    }
}

void Reader::endParagraph()
{
    flushSurrogate();
    m_pendingTabs = 0;
    takeParagraphFormat();
    m_paragraphs.push_back(std::move(m_paragraph));
    m_paragraph = Paragraph{};
}

void Reader::colorComponent(std::uint8_t Rgb::*component, int value)
{
    if (m_state.destination == Destination::ColorTable) {
        m_definedColor.*component = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
        m_colorHasComponents = true;
    }
}

void Reader::endColor()
{
    m_colors.push_back(m_colorHasComponents ? std::optional<Rgb>(m_definedColor) : std::nullopt);
    m_definedColor = Rgb{};
    m_colorHasComponents = false;
}

const Font* Reader::font(int number) const
{
    const auto found = m_fonts.find(number == kDocumentDefaultFont ? m_defaultFont : number);
    return found == m_fonts.end() ? nullptr : &found->second;
}

int Reader::codePage() const
{
    const Font* font =
        m_state.destination == Destination::FontTable ? m_definedFont : this->font(m_state.font);
    return font != nullptr && font->codePage != 0 ? font->codePage : m_codePage;
}

}  // namespace

std::vector<Paragraph> ReadRtf(std::string_view rtf)
{
    const std::size_t start = std::min(rtf.find_first_not_of(" \t\r\n"), rtf.size());
    if (rtf.substr(start, 5) != "{\\rtf") {
        throw RtfError("Not an RTF document: it does not begin with {\\rtf");
    }
    return Reader(rtf).read(start);
}

}  // namespace model
