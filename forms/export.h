#pragma once

#include <QString>

class QWidget;

namespace model {
class Table;
struct Workbook;
}  // namespace model

// Pictures of the chart and the PDF report. Files are written whole or not
// at all; a failure throws std::runtime_error whose message names the file.
namespace exporting {

// SVG when the path ends in ".svg" in any letter case, otherwise PNG.
void SaveChartPicture(QWidget* chart, const QString& path);

// The report of the book on A4 pages, with the pictures of the chart and of
// the residual chart, and the forecast table when it holds a forecast.
void WriteReport(const QString& path, const model::Workbook& book, char separator, QWidget* chart,
                 QWidget* residualChart, const model::Table* forecast);

}  // namespace exporting
