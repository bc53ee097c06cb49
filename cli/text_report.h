#pragma once

#include "model/estimation.h"
#include "model/table.h"
#include "model/workbook.h"

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// What cobb-douglas-cli prints for a workbook after "Вычислить".
namespace cli {

// The forecast window's table with the planned K and L, after "Расчитать".
struct ForecastRun {
    model::Table table{model::ForecastColumn::kCount};
    std::vector<model::Forecast> forecasts;
};

// Forecasts each planned K and L as the forecast window does. Throws what ForecastCommand throws.
ForecastRun RunForecasts(const model::Workbook& book,
                         const std::vector<std::pair<std::string, std::string>>& planned, char separator);

// The calculation table, the coefficients, the formula, Aср, the fit table,
// R², then the statistics and diagnostics when they were computed, their
// numbers written with `separator`, and the forecasts when they ran.
void PrintReport(std::ostream& out, const model::Workbook& book, char separator,
                 const std::optional<ForecastRun>& forecast);

// One JSON object with the tables, captions, coefficients, statistics,
// diagnostics and forecasts, and `error` (null when there is none).
void PrintJson(std::ostream& out, const model::Workbook& book, const std::optional<ForecastRun>& forecast,
               const std::optional<std::string>& error);

}  // namespace cli
