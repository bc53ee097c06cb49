#pragma once

#include "model/arithmetic.h"
#include "model/prediction_interval.h"
#include "model/table.h"
#include "model/workbook.h"

#include <stdexcept>
#include <string>
#include <vector>

// The estimation behind "Вычислить": least squares on Z = ln(Y/L) against
// X = ln(K/L), the calculation table, the coefficients, the fit in levels
// with R² and the chart; and the forecast formula of the forecast window.
namespace model {

// A fault found while computing. The first line of what() is the arithmetic
// or conversion message; a second line in Russian says where it happened.
class ComputationError : public std::runtime_error {
public:
    // A fault in data row `row`; `column` is the header of the cell at fault,
    // empty when no single cell is to blame. The second line reads
    // "Строка 3, столбец «Труд (L)»." or "Строка 3.".
    ComputationError(const std::string& message, int row, std::string column);

    // A fault outside any single row; `place` is the second line, none when
    // empty.
    ComputationError(const std::string& message, const std::string& place);

    // The data row of the fault, 0 when it is not in one row.
    int row() const { return m_row; }
    // The header of the cell at fault, empty when no single cell is.
    const std::string& column() const { return m_column; }

private:
    int m_row = 0;
    std::string m_column;
};

// Thrown by FittedOutput when K^alfa or L^(1 − alfa) cannot be computed,
// so that the caller can name the cell it came from.
class FactorError : public ArithmeticError {
public:
    enum Factor { kCapital, kLabour };
    FactorError(const ArithmeticError& cause, Factor factor);
    Factor factor() const { return m_factor; }

private:
    Factor m_factor;
};

// The fitted function Y = A·K^alfa·L^(1 − alfa) at one K and L, in checked
// extended arithmetic, K's factor first. Throws FactorError when a power
// fails and ArithmeticError when the product does not fit.
Real FittedOutput(double A, double alfa, Real k, Real l);

// How a run of ComputeCommand ended without throwing.
struct ComputeOutcome {
    // The first data row with an empty Y, K or L cell, which ends the run
    // silently, and that cell's header; 0 and empty when the run went through.
    int emptyRow = 0;
    std::string emptyColumn;

    bool complete() const { return emptyRow == 0; }
};

// Runs the whole estimation on the book's observation table, with
// `separator` as the decimal separator of every text read or written.
// Needs: the observation table's rows 1 .. m filled with Y, K, L texts, the
// calculation table sized by CountRule, countText the number of rows.
// Changes, in this order and as it goes: empties both chart series, zeroes
// alfa and A and resets the a=, A=, b= captions; fills the calculation table
// and its single "Sum" row; sets alfa, A, the a=, A=, b= captions and the
// formula; the fitted line, residuals, relative errors and Aср=; the chart
// series, the fit table and R2=. An empty Y, K or L cell ends the run
// before the calculation table is touched and is reported in the result.
// Throws ComputationError on a bad number text, an arithmetic fault, or a
// fit that cannot be determined (fewer than two rows or all X equal, refused
// before any coefficient is written); whatever was written before stays.
ComputeOutcome ComputeCommand(Workbook& book, char separator);

// A forecast Y and its 95 % prediction interval.
struct Forecast {
    double y = 0;
    PredictionInterval interval;
};

// The forecast window's command: FittedOutput with the basis's alfa and A
// for every row of `forecast` (ForecastColumn) down to the first row
// whose K or L is empty. Changes countText "0" to "1", sets the row count to
// the count + 1 (a count that is not an integer or is out of range throws
// and leaves the table as it was), writes the forecast Y with 6 decimals
// and beside it its prediction interval (Predict) as IntervalText. Returns
// the forecasts of the rows written. Throws ComputationError on a bad K or
// L text or an arithmetic fault; the rows above keep their new forecast.
std::vector<Forecast> ForecastCommand(Table& forecast, std::string& countText, const ForecastBasis& basis,
                                      char separator);

// The forecast window's "Очистить": erases every data row, leaves one data
// row numbered "1" and sets countText to "1".
void ClearForecast(Table& forecast, std::string& countText);

}  // namespace model
