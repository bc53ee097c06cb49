#include "model/report.h"

#include "model/statistics.h"
#include "model/workbook.h"

#include <algorithm>

namespace model {

namespace {

std::string Escaped(const std::string& text)
{
    std::string html;
    for (const char c : text) {
        switch (c) {
        case '&':
            html += "&amp;";
            break;
        case '<':
            html += "&lt;";
            break;
        case '>':
            html += "&gt;";
            break;
        case '"':
            html += "&quot;";
            break;
        default:
            html += c;
        }
    }
    return html;
}

const std::string kTableStart = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\"";
// Small type keeps the nine columns of the calculation table on A4, and
// numbers are never broken across lines.
const std::string kDataTableStart = kTableStart + " style=\"font-size: 7pt; white-space: nowrap\">";

// A label whose leading spaces HTML would drop.
std::string Indented(const std::string& label)
{
    const std::size_t spaces = std::min(label.find_first_not_of(' '), label.size());
    std::string html;
    for (std::size_t i = 0; i < spaces; ++i)
        html += "&nbsp;";
    return html + Escaped(label.substr(spaces));
}

// The table's header row and data rows, the header repeated on every page.
std::string TableHtml(const Table& table)
{
    std::string html = kDataTableStart + "<thead><tr>";
    for (int column = 0; column < table.columnCount(); ++column)
        html += "<th>" + Escaped(table.cell(column, 0)) + "</th>";
    html += "</tr></thead>";
    for (int row = 1; row < table.rowCount(); ++row) {
        html += "<tr>";
        for (int column = 0; column < table.columnCount(); ++column)
            html += "<td align=\"right\">" + Escaped(table.cell(column, row)) + "</td>";
        html += "</tr>";
    }
    return html + "</table>";
}

// Lines of the statistics page as a two-column table, headings in bold across both.
std::string LinesHtml(const std::vector<StatisticsLine>& lines)
{
    std::string html = kTableStart + " width=\"100%\">";
    for (const StatisticsLine& line : lines) {
        if (line.value.empty())
            html += "<tr><td colspan=\"2\"><b>" + Escaped(line.label) + "</b></td></tr>";
        else
            html += "<tr><td>" + Indented(line.label) + "</td><td>" + Escaped(line.value) + "</td></tr>";
    }
    return html + "</table>";
}

std::string StatisticsHtml(const std::optional<Statistics>& statistics, char separator)
{
    if (!statistics)
        return "<p>Не вычислена.</p>";
    return LinesHtml(StatisticsLines(*statistics, separator));
}

std::string DiagnosticsHtml(const std::optional<Diagnostics>& diagnostics, char separator)
{
    if (!diagnostics)
        return "<p>Не вычислена.</p>";
    return LinesHtml(DiagnosticsLines(*diagnostics, separator));
}

// Whether the forecast window's table holds a forecast output.
bool HoldsForecast(const Table& forecast)
{
    for (int row = 1; row < forecast.rowCount(); ++row)
        if (!forecast.cell(ForecastColumn::kY, row).empty())
            return true;
    return false;
}

}  // namespace

std::string ReportHtml(const Workbook& book, char separator, const std::string& chartImage,
                       const std::string& residualImage, const Table* forecast)
{
    std::string html = "<html><body>"
                       "<h2>Производственная функция Кобба-Дугласа</h2>"
                       "<p>Y = A·K<sup>a</sup>·L<sup>1−a</sup>; число наблюдений: "
                       + Escaped(book.countText) + ".</p>";
    html += "<h3>Наблюдения</h3>" + TableHtml(book.observations);
    html += "<h3>Расчётная таблица</h3>" + TableHtml(book.calculation);
    html += "<h3>Результаты</h3><p>";
    for (const std::string* caption : {&book.aCaption, &book.ACaption, &book.bCaption})
        html += Escaped(*caption) + "<br/>";
    html += "Производственная функция Кобба-Дугласа: " + Escaped(book.formula) + "<br/>"
            + Escaped(book.meanErrorCaption) + "<br/>" + Escaped(book.r2Caption) + "</p>";
    html += "<h3>Статистика</h3>" + StatisticsHtml(book.statistics, separator);
    html += "<h3>Диагностика</h3>" + DiagnosticsHtml(book.diagnostics, separator);
    html += "<h3>Аппроксимация</h3>" + TableHtml(book.fit);
    if (forecast && HoldsForecast(*forecast))
        html += "<h3>Прогноз</h3>" + TableHtml(*forecast);
    // The chart has a page of its own, so that its heading is never left behind.
    html += "<h3 style=\"page-break-before: always\">График</h3><p><img src=\"" + Escaped(chartImage)
            + "\" width=\"600\"/></p>";
    if (!residualImage.empty())
        html += "<h3>Остатки</h3><p><img src=\"" + Escaped(residualImage) + "\" width=\"600\"/></p>";
    return html + "</body></html>";
}

}  // namespace model
