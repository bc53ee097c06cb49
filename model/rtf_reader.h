#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Reads the rich text a word processor writes into paragraphs of styled
// runs: enough to show a help document, not to round-trip one.
namespace model {

// The input is not RTF at all; what() is the message a user reads.
class RtfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Justified paragraphs read as Left.
enum class Alignment { Left, Center, Right };

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Text of one formatting. A line break (\line) is '\n' in the text and a
// tab (\tab, or the end of a table cell) is '\t'.
struct TextRun {
    std::string text;  // UTF-8
    bool bold = false;
    bool italic = false;
    bool underline = false;
    double fontSize = 12;  // points
    // Empty: the automatic colour, which \cf0 selects in what word
    // processors write, as does a number the colour table lacks.
    std::optional<Rgb> color;
    std::string fontFamily;  // empty when the font table does not name the font

    friend bool operator==(const TextRun&, const TextRun&) = default;
};

struct Paragraph {
    Alignment alignment = Alignment::Left;
    // Space above and below the paragraph in points (\sb and \sa).
    double spaceBefore = 0;
    double spaceAfter = 0;
    // No run is empty and neighbouring runs differ in formatting; an empty
    // paragraph is a blank line.
    std::vector<TextRun> runs;

    friend bool operator==(const Paragraph&, const Paragraph&) = default;
};

// Needs the bytes of an RTF file, which must begin with "{\rtf" after
// optional blanks, else throws RtfError. Each \par, and the end of a table
// row, ends a paragraph; text after the last one is a paragraph of its
// own. Fonts, pictures, headers, footers, document information and
// destinations marked \* are not text. Damaged input is read as far as it
// makes sense: missing closing braces are assumed, anything after the
// document's closing brace is ignored, and formatting changed in a group
// nested deeper than 1024 lasts until the group at that depth closes.
// Takes time and memory linear in the input.
std::vector<Paragraph> ReadRtf(std::string_view rtf);

}  // namespace model
