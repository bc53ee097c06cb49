#include "tests/forms/pdf_text.h"

#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QtEndian>

namespace {

struct PdfObject {
    QString dictionary;
    QByteArray stream;  // decoded
};

QByteArray Inflate(const QByteArray& data)
{
    // qUncompress wants the expected size first; it grows its buffer when that is too small.
    QByteArray sized(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(data.size() * 4), sized.data());
    return qUncompress(sized + data);
}

QMap<int, PdfObject> Objects(const QByteArray& pdf)
{
    // Latin-1 maps every byte to one character and back.
    const QString text = QString::fromLatin1(pdf);
    static const QRegularExpression object(QStringLiteral(R"((\d+) 0 obj\s*(.*?)endobj)"),
                                           QRegularExpression::DotMatchesEverythingOption);
    QMap<int, PdfObject> objects;
    for (auto match = object.globalMatch(text); match.hasNext();) {
        const auto found = match.next();
        const QString body = found.captured(2);
        PdfObject parsed;
        const qsizetype start = body.indexOf(QStringLiteral("stream"));
        parsed.dictionary = start < 0 ? body : body.left(start);
        if (start >= 0) {
            qsizetype from = start + 6;
            while (from < body.size() && (body[from] == '\r' || body[from] == '\n'))
                ++from;
            QByteArray data = body.mid(from, body.lastIndexOf(QStringLiteral("endstream")) - from).toLatin1();
            parsed.stream = parsed.dictionary.contains(QStringLiteral("/FlateDecode")) ? Inflate(data) : data;
        }
        objects.insert(found.captured(1).toInt(), parsed);
    }
    return objects;
}

// Glyph code to text, from a ToUnicode CMap's bfchar and bfrange entries.
QHash<uint, QString> CodeMap(const QString& cmap)
{
    const auto unicode = [](const QString& hex) {
        QString text;
        for (qsizetype i = 0; i + 4 <= hex.size(); i += 4)
            text += QChar(static_cast<char16_t>(hex.mid(i, 4).toUInt(nullptr, 16)));
        return text;
    };
    QHash<uint, QString> map;
    static const QRegularExpression range(
        QStringLiteral(R"(<([0-9A-Fa-f]+)>\s*<([0-9A-Fa-f]+)>\s*(\[[^\]]*\]|<[0-9A-Fa-f]+>))"));
    static const QRegularExpression hex(QStringLiteral("<([0-9A-Fa-f]+)>"));
    for (auto match = range.globalMatch(cmap); match.hasNext();) {
        const auto found = match.next();
        const uint first = found.captured(1).toUInt(nullptr, 16);
        const uint last = found.captured(2).toUInt(nullptr, 16);
        const QString target = found.captured(3);
        if (target.startsWith('[')) {
            uint code = first;
            for (auto item = hex.globalMatch(target); item.hasNext() && code <= last; ++code)
                map.insert(code, unicode(item.next().captured(1)));
        } else {
            const QString base = unicode(target.mid(1, target.size() - 2));
            for (uint code = first; code <= last; ++code)
                map.insert(code, base.left(base.size() - 1) + QChar(base.back().unicode() + (code - first)));
        }
    }
    // Single codes: "<code> <text>" pairs between beginbfchar and endbfchar.
    static const QRegularExpression chars(QStringLiteral(R"(beginbfchar(.*?)endbfchar)"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression pair(QStringLiteral(R"(<([0-9A-Fa-f]+)>\s*<([0-9A-Fa-f]+)>)"));
    for (auto block = chars.globalMatch(cmap); block.hasNext();)
        for (auto match = pair.globalMatch(block.next().captured(1)); match.hasNext();) {
            const auto found = match.next();
            map.insert(found.captured(1).toUInt(nullptr, 16), unicode(found.captured(2)));
        }
    return map;
}

}  // namespace

QString PdfText(const QByteArray& pdf)
{
    const QMap<int, PdfObject> objects = Objects(pdf);

    // Font resource name (F7) to its code map.
    QHash<QString, QHash<uint, QString>> fonts;
    static const QRegularExpression resource(QStringLiteral(R"(/(F\d+)\s+(\d+) 0 R)"));
    static const QRegularExpression toUnicode(QStringLiteral(R"(/ToUnicode\s+(\d+) 0 R)"));
    for (const PdfObject& object : objects) {
        for (auto match = resource.globalMatch(object.dictionary); match.hasNext();) {
            const auto found = match.next();
            const auto cmap = toUnicode.match(objects.value(found.captured(2).toInt()).dictionary);
            if (cmap.hasMatch() && !fonts.contains(found.captured(1)))
                fonts.insert(found.captured(1),
                             CodeMap(QString::fromLatin1(objects.value(cmap.captured(1).toInt()).stream)));
        }
    }

    QString text;
    static const QRegularExpression operation(
        QStringLiteral(R"(/(F\d+)\s+[\d.]+\s+Tf|<([0-9A-Fa-f]*)>\s*Tj)"));
    for (const PdfObject& object : objects) {
        const QString content = QString::fromLatin1(object.stream);
        if (!content.contains(QStringLiteral(" Tf")))
            continue;
        const QHash<uint, QString>* font = nullptr;
        for (auto match = operation.globalMatch(content); match.hasNext();) {
            const auto found = match.next();
            if (!found.captured(1).isEmpty()) {
                font = &fonts[found.captured(1)];
            } else if (font) {
                const QString codes = found.captured(2);
                for (qsizetype i = 0; i + 4 <= codes.size(); i += 4)
                    text += font->value(codes.mid(i, 4).toUInt(nullptr, 16));
            }
        }
    }
    // Qt maps the blank's glyph back to a tab.
    return text.replace('\t', ' ');
}
