#pragma once

#include "model/diagnostics.h"
#include "model/statistics.h"
#include "model/table.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace model {

// One point of a chart line: its value and the label under it.
struct ChartPoint {
    std::string label;
    double value = 0;
};

// The columns of the four tables by what they hold, so that code indexes a
// Table by name. Each set ends with its column count.
struct ObservationColumn {
    enum : int { kYear = kYearColumn, kY, kK, kL, kCount };
};

// ln and products of one observation, Z(X) the fitted line, then the
// residual, Z² and the relative error of the residual in per cent.
struct CalculationColumn {
    enum : int { kYear = kYearColumn, kX, kZ, kXZ, kX2, kZX, kResidual, kZ2, kRelativeError, kCount };
};

// The observed and the fitted output by year.
struct FitColumn {
    enum : int { kYear = kYearColumn, kY, kFittedY, kCount };
};

// The forecast window's table: planned K and L, the forecast output and its
// 95 % prediction interval.
struct ForecastColumn {
    enum : int { kYear = kYearColumn, kK, kL, kY, kInterval, kCount };
};

// The statistics page: a line's label and its value.
struct StatisticsColumn {
    enum : int { kLabel, kValue, kCount };
};

// Everything the main window shows besides its layout: the three tables,
// the count text, the result captions, the formula, the chart lines and the
// two coefficients. Commands change it in place, so what a failing command
// wrote before the failure stays written.
struct Workbook {
    Workbook();

    Table observations{ObservationColumn::kCount};
    Table calculation{CalculationColumn::kCount};
    Table fit{FitColumn::kCount};

    // The count field's text as shown, even when it is not a valid count.
    std::string countText = "1";

    double alfa = 0;
    double A = 0;

    // Their initial texts are ResetCaptions'.
    std::string aCaption;
    std::string ACaption;
    std::string bCaption;
    std::string meanErrorCaption;
    std::string r2Caption;
    std::string formula;

    std::vector<ChartPoint> observedSeries;  // "Производство"
    std::vector<ChartPoint> fittedSeries;    // "ПФ (Кобба-Дугласа)"

    // The "Статистика" page; none until "Вычислить" has gone through.
    std::optional<Statistics> statistics;
    // Residual tests, the trend fit and marginal products, beside the statistics.
    std::optional<Diagnostics> diagnostics;
};

// Whether two workbooks hold the same tables and count text: whether a
// command changed what a user typed or sees in the tables. A copy of a
// workbook keeps it as it is; assigning that copy back brings it back, and
// the views of its tables follow (see Table).
bool SameTables(const Workbook& a, const Workbook& b);

// Writes the headers and column widths of the three tables.
void SetTableHeaders(Workbook& book);

// Writes the headers and column widths of the forecast window's table.
void SetForecastHeaders(Table& forecast);

// Shows a new count text and, when it differs from the old one, applies
// CountRule to the observation and calculation tables. The text stays shown
// even when CountRule refuses it.
void SetCountText(Workbook& book, std::string_view text);

// Resets the captions a= A= b= Aср= R2= to their initial texts.
void ResetCaptions(Workbook& book);

// Resets the coefficients' captions a= A= b= only, as "Вычислить" does first.
void ResetCoefficientCaptions(Workbook& book);

// "Очистить": empties the observation and calculation tables back to one
// data row numbered "1", resets the captions and sets alfa and A to 0. Stops
// without a change while the observation table has one data row, and after
// erasing the observations while the calculation table has one. Leaves the
// formula, the fit table, the chart lines and rows hidden below the row
// count as they are. The statistics go with the captions.
void ClearCommand(Workbook& book);

// "Новая ": ClearCommand (early stops included), then erases the data rows
// of the observation and fit tables, year cells included, and sets each to
// one data row. Leaves the count text and the chart lines as they are.
void NewCommand(Workbook& book);

}  // namespace model
