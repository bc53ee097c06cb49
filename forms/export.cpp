#include "forms/export.h"

#include "forms/application.h"
#include "model/report.h"

#include <QApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QTextDocument>
#include <QUrl>
#include <QWidget>

#include <stdexcept>

namespace exporting {

namespace {

// Pixels of a picture per pixel on screen: sharp on paper and on a dense screen.
constexpr qreal kPictureScale = 3;

const QString kChartImage = QStringLiteral("chart.png");
const QString kResidualImage = QStringLiteral("residuals.png");

[[noreturn]] void Fail(const QString& reason, const QString& path)
{
    throw std::runtime_error(
        QStringLiteral("%1\nНе удалось записать файл «%2».").arg(reason, path).toStdString());
}

// Runs `write` on a file that replaces `path` only once it is complete.
template <typename Write>
void WriteWhole(const QString& path, Write write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        Fail(file.errorString(), path);
    if (!write(file))
        Fail(QStringLiteral("Не удалось нарисовать содержимое."), path);
    if (!file.commit())
        Fail(file.errorString(), path);
}

QImage Picture(QWidget* widget)
{
    QImage image(widget->size() * kPictureScale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kPictureScale);
    image.fill(Qt::white);
    QPainter painter(&image);
    widget->render(&painter);
    return image;
}

}  // namespace

void SaveChartPicture(QWidget* chart, const QString& path)
{
    if (!path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        WriteWhole(path, [chart](QSaveFile& file) { return Picture(chart).save(&file, "PNG"); });
        return;
    }
    WriteWhole(path, [chart](QSaveFile& file) {
        QSvgGenerator generator;
        generator.setOutputDevice(&file);
        generator.setSize(chart->size());
        generator.setViewBox(chart->rect());
        generator.setTitle(ProgramName());
        QPainter painter;
        if (!painter.begin(&generator))
            return false;
        chart->render(&painter);
        return painter.end();
    });
}

void WriteReport(const QString& path, const model::Workbook& book, char separator, QWidget* chart,
                 QWidget* residualChart, const model::Table* forecast)
{
    WriteWhole(path, [&](QSaveFile& file) {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        // QTextDocument::print() puts its own 2 cm margins inside the page.
        writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        writer.setTitle(QStringLiteral("Производственная функция Кобба-Дугласа"));
        writer.setCreator(ProgramName());

        QTextDocument document;
        QFont font = chart->font();
        font.setPointSize(9);
        document.setDefaultFont(font);
        document.addResource(QTextDocument::ImageResource, QUrl(kChartImage), Picture(chart));
        document.addResource(QTextDocument::ImageResource, QUrl(kResidualImage), Picture(residualChart));
        document.setHtml(QString::fromStdString(model::ReportHtml(book, separator, kChartImage.toStdString(),
                                                                  kResidualImage.toStdString(), forecast)));
        document.print(&writer);
        // print() keeps its failures to itself: a report that was written has pages.
        return file.size() > 0;
    });
}

}  // namespace exporting
