#pragma once

#include <QByteArray>
#include <QString>

// The text a PDF written by QPdfWriter shows, content stream by content
// stream in the order of their objects, glyph after glyph with nothing put
// between text objects: a line or a cell may run into the next. Reads just what Qt writes: Flate-compressed
// content streams drawing glyph codes with Tj through fonts that carry a ToUnicode map.
QString PdfText(const QByteArray& pdf);
