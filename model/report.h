#pragma once

#include <string>

// The report "Сохранить отчёт…" writes: what a student hands in.
namespace model {

class Table;
struct Workbook;

// The report as HTML for a rich-text layout: the observations, the
// calculation table, the coefficients with the formula, Aср and R², the
// statistics and diagnostics, the fit table and the chart, whose picture is
// the image resource named `chartImage`, then the residual chart's
// `residualImage` when it is not empty, and the forecast window's table
// when `forecast` holds a forecast. Every cell and caption appears as the
// window shows it; the statistics' numbers use `separator`.
std::string ReportHtml(const Workbook& book, char separator, const std::string& chartImage,
                       const std::string& residualImage = {}, const Table* forecast = nullptr);

}  // namespace model
