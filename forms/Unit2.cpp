#include "forms/Unit2.h"

#include "forms/data_files.h"
#include "forms/window_helpers.h"
#include "model/rtf_reader.h"

#include <QFile>
#include <QFrame>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWindow>

#include <cmath>
#include <stdexcept>

TForm2* Form2 = nullptr;

namespace {

const QString kDocumentName = QStringLiteral("о программе.rtf");

// The document's bytes from the first place that has it. Throws naming the file and the system's reason.
QByteArray ReadDocument()
{
    QString reason;
    for (const QString& path : data_files::Candidates(kDocumentName)) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            QByteArray bytes = file.readAll();
            if (file.error() == QFileDevice::NoError)
                return bytes;
        }
        // A document that is there but cannot be read says more than one that is missing.
        if (reason.isEmpty() || file.exists())
            reason = file.errorString();
    }
    throw std::runtime_error(
        QStringLiteral("Не удаётся открыть файл «%1»: %2").arg(kDocumentName, reason).toStdString());
}

// The document's paragraphs; a file that is not RTF is named in the message.
std::vector<model::Paragraph> ReadParagraphs(const QByteArray& bytes)
{
    try {
        return model::ReadRtf(std::string_view(bytes.data(), bytes.size()));
    } catch (const model::RtfError& error) {
        throw model::RtfError(QStringLiteral("%1\nФайл «%2».")
                                  .arg(QString::fromUtf8(error.what()), kDocumentName)
                                  .toStdString());
    }
}

QTextCharFormat RunFormat(const model::TextRun& run)
{
    QTextCharFormat format;
    format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(run.italic);
    format.setFontUnderline(run.underline);
    format.setFontPointSize(run.fontSize);
    if (run.color)
        format.setForeground(QColor(run.color->red, run.color->green, run.color->blue));
    if (!run.fontFamily.empty())
        format.setFontFamilies({QString::fromStdString(run.fontFamily)});
    return format;
}

// Block margins are in pixels, RTF spacing in points.
qreal PointsToPixels(double points)
{
    return points * 96.0 / 72.0;
}

Qt::Alignment BlockAlignment(model::Alignment alignment)
{
    switch (alignment) {
    case model::Alignment::Center:
        return Qt::AlignHCenter;
    case model::Alignment::Right:
        return Qt::AlignRight;
    case model::Alignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

void Render(const std::vector<model::Paragraph>& paragraphs, QTextDocument& document)
{
    document.clear();
    QTextCursor cursor(&document);
    bool first = true;
    for (const model::Paragraph& paragraph : paragraphs) {
        QTextBlockFormat block;
        block.setAlignment(BlockAlignment(paragraph.alignment));
        block.setTopMargin(PointsToPixels(paragraph.spaceBefore));
        block.setBottomMargin(PointsToPixels(paragraph.spaceAfter));
        if (first)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        first = false;
        for (const model::TextRun& run : paragraph.runs) {
            // A line break inside a paragraph, not a new one.
            const QString text = QString::fromStdString(run.text).replace(QChar('\n'), QChar::LineSeparator);
            cursor.insertText(text, RunFormat(run));
        }
    }
}

}  // namespace

TForm2::TForm2(QWidget* parent)
    : QWidget(parent), RichEdit1(new QTextEdit(this)), Panel1(new QFrame(this)),
      BitBtn1(new QPushButton(Panel1))
{
    setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
    setWindowTitle(QStringLiteral("Инструкция"));
    setFont(WindowFont());
    // 597 × 449 is the outer size: the frame, known once the native window exists, comes out of it.
    create();
    resize(QSize(597, 449).shrunkBy(windowHandle()->frameMargins()));

    // Neither editable nor selectable, yet drawn in its own colours, unlike a disabled view.
    RichEdit1->setReadOnly(true);
    RichEdit1->setTextInteractionFlags(Qt::NoTextInteraction);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    Panel1->setFixedHeight(41);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    BitBtn1->setText(QStringLiteral("OK"));
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    BitBtn1->setGeometry(0, 8, 75, 25);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm2::BitBtn1Click);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(RichEdit1);
    layout->addWidget(Panel1);
}

void TForm2::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm2::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TForm2::FormShow()
{
    CentreOnScreen(*this);
    // Read in full before the view changes, so that a failure keeps the old text.
    const QByteArray bytes = ReadDocument();
    const std::vector<model::Paragraph> paragraphs = ReadParagraphs(bytes);
    Render(paragraphs, *RichEdit1->document());
}

void TForm2::FormResize()
{
    // Halves of whole pixels round to the even neighbour.
    BitBtn1->move(static_cast<int>(std::nearbyint(Panel1->width() / 2.0 - BitBtn1->width() / 2.0)), 8);
}

void TForm2::BitBtn1Click()
{
    close();
}
