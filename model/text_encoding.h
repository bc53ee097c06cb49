#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text as the model keeps it, UTF-8, and the single-byte code pages files
// and documents may still be written in.
namespace model {

// The code point of a byte in Windows-1251 or Windows-1252. A byte the code
// page leaves unassigned (0x98 in 1251; 0x81, 0x8D, 0x8F, 0x90 and 0x9D in
// 1252) reads as the C1 control of the same number, U+0098 for 0x98, as
// browsers read it: the text keeps a trace of the byte and stays valid.
char32_t FromWindows1251(unsigned char byte);
char32_t FromWindows1252(unsigned char byte);

// A whole Windows-1251 text as UTF-8.
std::string Windows1251ToUtf8(std::string_view bytes);

// Appends a code point up to U+10FFFF as UTF-8 (1 to 4 bytes).
void AppendUtf8(std::string& text, char32_t codePoint);

// Strict UTF-8: no overlong forms, surrogates or code points above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// The text as it is when it has at most maxBytes bytes; otherwise its first
// maxBytes bytes or fewer, cut before a UTF-8 continuation byte so that no
// character is split, and an ellipsis «…».
std::string CutUtf8(std::string_view text, std::size_t maxBytes);

// The text as it is when it has at most maxBytes bytes; otherwise about
// maxBytes / 2 bytes from its start and from its end, neither splitting a
// character, joined by «…»: a long path keeps its start and its file name.
std::string CutUtf8InMiddle(std::string_view text, std::size_t maxBytes);

// The text with each control character written visibly: "\0" for NUL, "\t",
// "\n" and "\r", "\xHH" for the others and for DEL, so that a message keeps
// what is wrong, where a NUL would cut it and a line break reshape it. A
// backslash stays as it is.
std::string VisibleControls(std::string_view text);

// UTF-16 bytes after their byte-order mark as UTF-8. A lone surrogate and an
// odd last byte become U+FFFD, so that what is wrong shows.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

// The text without its leading and trailing blanks: spaces and tabs (headers
// such as " X", a font name before its ';').
std::string Trimmed(std::string_view text);

// The ASCII digits 0 to 9, whatever the locale.
constexpr bool IsDigit(char32_t c)
{
    return c >= U'0' && c <= U'9';
}

}  // namespace model
