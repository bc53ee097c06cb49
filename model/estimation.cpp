#include "model/estimation.h"

#include "model/arithmetic.h"
#include "model/number_text.h"

#include <cmath>
#include <string_view>
#include <vector>

namespace model {

namespace {

using Observation = ObservationColumn;
using Calculation = CalculationColumn;

const std::string kSumLabel = "Sum";
// A relative error that is undefined because Z is zero.
const std::string kUndefined = "\u2014";

std::string Place(int row, const std::string& column)
{
    std::string place = "Строка " + std::to_string(row);
    if (!column.empty())
        place += ", столбец «" + column + "»";
    return place + ".";
}

// Gives a fault raised while working on one data row that row's place.
template <typename Body>
auto InRow(int row, Body body)
{
    try {
        return body();
    } catch (const ComputationError&) {
        throw;
    } catch (const std::runtime_error& error) {
        throw ComputationError(error.what(), row, {});
    }
}

// Parses cell (column, row), naming the cell by its header when it fails.
Real ParseCell(const Table& table, int column, int row, char separator)
{
    try {
        return ParseNumber(table.cell(column, row), separator);
    } catch (const ConversionError& error) {
        throw ComputationError(error.what(), row, table.cell(column, 0));
    }
}

// ln(numerator / denominator) of data row `row`, naming the operand at fault:
// a zero divisor, a zero numerator or the one negative operand.
Real LnRatio(Real numerator, Real denominator, int row, const std::string& numeratorColumn,
             const std::string& denominatorColumn)
{
    try {
        return Ln(Divide(numerator, denominator));
    } catch (const ArithmeticError& error) {
        std::string column;
        if (denominator == 0 || (denominator < 0 && numerator > 0))
            column = denominatorColumn;
        else if (numerator == 0 || (numerator < 0 && denominator > 0))
            column = numeratorColumn;
        throw ComputationError(error.what(), row, column);
    }
}

// The fitted output of data row `row`, naming the K or L cell whose power fails.
Real FittedInRow(double A, double alfa, Real k, Real l, int row, const std::string& kColumn,
                 const std::string& lColumn)
{
    try {
        return FittedOutput(A, alfa, k, l);
    } catch (const FactorError& error) {
        throw ComputationError(error.what(), row, error.factor() == FactorError::kCapital ? kColumn : lColumn);
    }
}

// sum + value stored as the double a running sum is.
double Accumulate(double sum, Real value)
{
    return ToDouble(static_cast<Real>(sum) + value);
}

// One data row's values, each parsed once from the text it stands for.
struct RowValues {
    Real y = 0, k = 0, l = 0;  // the observation cells
    std::string xText, zText;  // phase 1's logarithms
    Real x = 0, z = 0;         // parsed back from the calculation table
};

}  // namespace

ComputationError::ComputationError(const std::string& message, int row, std::string column)
    : std::runtime_error(message + "\n" + Place(row, column)), m_row(row), m_column(std::move(column))
{
}

ComputationError::ComputationError(const std::string& message, const std::string& place)
    : std::runtime_error(place.empty() ? message : message + "\n" + place)
{
}

FactorError::FactorError(const ArithmeticError& cause, Factor factor) : ArithmeticError(cause), m_factor(factor)
{
}

Real FittedOutput(double A, double alfa, Real k, Real l)
{
    const auto factor = [](Real base, Real exponent, FactorError::Factor which) {
        try {
            return Power(base, exponent);
        } catch (const ArithmeticError& error) {
            throw FactorError(error, which);
        }
    };
    const Real capital = factor(k, alfa, FactorError::kCapital);
    const Real labour = factor(l, 1 - static_cast<Real>(alfa), FactorError::kLabour);
    return Checked(Checked(A * capital) * labour);
}

ComputeOutcome ComputeCommand(Workbook& book, char separator)
{
    const Table& observations = book.observations;
    Table& calculation = book.calculation;
    const int m = observations.rowCount() - 1;
    const auto fixed = [separator](Real value, int decimals) {
        return FormatFixed(ToDouble(value), decimals, separator);
    };
    const auto parse = [separator](const Table& table, int column, int row) {
        return ParseCell(table, column, row, separator);
    };
    const std::string& yHeader = observations.cell(Observation::kY, 0);
    const std::string& kHeader = observations.cell(Observation::kK, 0);
    const std::string& lHeader = observations.cell(Observation::kL, 0);

    // Phase 0: reset.
    book.observedSeries.clear();
    book.fittedSeries.clear();
    book.alfa = 0;
    ResetCoefficientCaptions(book);
    book.A = 0;

    // Phase 1: logarithms; nothing is written until every row has its X and Z.
    std::vector<RowValues> rows(static_cast<std::size_t>(m) + 1);
    for (int row = 1; row <= m; ++row) {
        for (int column : {Observation::kY, Observation::kK, Observation::kL}) {
            if (observations.cell(column, row).empty())
                return {row, observations.cell(column, 0)};
        }
        RowValues& v = rows[row];
        v.y = parse(observations, Observation::kY, row);
        v.l = parse(observations, Observation::kL, row);
        v.zText = InRow(row, [&] { return fixed(LnRatio(v.y, v.l, row, yHeader, lHeader), 6); });
        v.k = parse(observations, Observation::kK, row);
        v.xText = InRow(row, [&] { return fixed(LnRatio(v.k, v.l, row, kHeader, lHeader), 6); });
    }

    // Phase 2: calculation rows, with placeholders where phase 5 writes.
    if (calculation.rowCount() < m + 1)
        calculation.setRowCount(m + 1);
    const std::string zeroText = fixed(0, 6);
    double sumX = 0, sumZ = 0, sumXZ = 0, sumX2 = 0, sumZ2 = 0;
    for (int row = 1; row <= m; ++row) {
        InRow(row, [&] {
            RowValues& v = rows[row];
            calculation.setCell(Calculation::kX, row, v.xText);
            calculation.setCell(Calculation::kZ, row, v.zText);
            v.x = parse(calculation, Calculation::kX, row);
            v.z = parse(calculation, Calculation::kZ, row);
            const Real x = v.x, z = v.z;
            calculation.setCell(Calculation::kXZ, row, fixed(Checked(x * z), 6));
            calculation.setCell(Calculation::kX2, row, fixed(Checked(x * x), 6));
            calculation.setCell(Calculation::kZX, row, zeroText);
            calculation.setCell(Calculation::kResidual, row, "2");
            calculation.setCell(Calculation::kZ2, row, fixed(Checked(z * z), 6));
            calculation.setCell(Calculation::kRelativeError, row, "333");
            sumX = Accumulate(sumX, x);
            sumZ = Accumulate(sumZ, z);
            sumXZ = Accumulate(sumXZ, parse(calculation, Calculation::kXZ, row));
            sumX2 = Accumulate(sumX2, parse(calculation, Calculation::kX2, row));
            sumZ2 = Accumulate(sumZ2, parse(calculation, Calculation::kZ2, row));
        });
    }

    // Phase 3: the one "Sum" row, rewritten whole on every run so that no
    // sum of an earlier run survives (a re-shown hidden row holds old text).
    if (calculation.cell(Calculation::kYear, calculation.rowCount() - 1) != kSumLabel)
        calculation.setRowCount(calculation.rowCount() + 1);
    const int sumRow = calculation.rowCount() - 1;
    calculation.setCell(Calculation::kYear, sumRow, kSumLabel);
    calculation.setCell(Calculation::kX, sumRow, fixed(sumX, 6));
    calculation.setCell(Calculation::kZ, sumRow, fixed(sumZ, 6));
    calculation.setCell(Calculation::kXZ, sumRow, fixed(sumXZ, 6));
    calculation.setCell(Calculation::kX2, sumRow, fixed(sumX2, 6));
    calculation.setCell(Calculation::kZ2, sumRow, fixed(sumZ2, 6));
    for (int column : {Calculation::kZX, Calculation::kResidual, Calculation::kRelativeError})
        calculation.setCell(column, sumRow, std::string());

    // A line through points that share one X, or through one point, is not
    // determined: the slope's denominator is zero but for rounding.
    if (m < 2)
        throw ComputationError("Коэффициенты не определяются: нужно не меньше двух наблюдений.", {});
    bool xVaries = false;
    for (int row = 2; row <= m && !xVaries; ++row)
        xVaries = rows[row].xText != rows[1].xText;
    if (!xVaries)
        throw ComputationError("Коэффициенты не определяются: отношение K/L одинаково во всех "
                               "наблюдениях (все X равны).",
                               {});

    // Phase 4: coefficients.
    Real n = 0;
    try {
        n = ParseNumber(book.countText, separator);
    } catch (const ConversionError& error) {
        throw ComputationError(error.what(), "Поле «Кол-во наблюдений».");
    }
    double b = 0;
    try {
        book.alfa = ToDouble(Divide(Checked(n * sumXZ - static_cast<Real>(sumX) * sumZ),
                                    Checked(n * sumX2 - static_cast<Real>(sumX) * sumX)));
        book.aCaption = "a=" + fixed(book.alfa, 6);
        const double lnA = ToDouble(Checked(Divide(1, n) * sumZ - Divide(book.alfa, n) * sumX));
        book.A = ToDouble(Power(Exp(1), lnA));
        b = ToDouble(Ln(book.A));
    } catch (const ArithmeticError& error) {
        throw ComputationError(error.what(), "При вычислении коэффициентов.");
    }
    book.ACaption = "A=" + fixed(book.A, 6);
    book.formula = "Y=" + fixed(book.A, 6) + "*(K^" + fixed(book.alfa, 6) + ")*(L^"
                   + fixed(1 - static_cast<Real>(book.alfa), 6) + ")";
    book.bCaption = "b=" + fixed(b, 4);

    // Phase 5: fitted line and errors. A row whose Z is zero has no relative
    // error: it is shown as undefined and left out of the sum and the mean.
    double sumZX = 0, sumResidual = 0, sumError = 0;
    int definedErrors = 0;
    for (int row = 1; row <= m; ++row) {
        InRow(row, [&] {
            const Real z = rows[row].z;
            calculation.setCell(Calculation::kZX, row, fixed(Checked(book.alfa * rows[row].x + b), 6));
            const Real zx = parse(calculation, Calculation::kZX, row);
            calculation.setCell(Calculation::kResidual, row, fixed(Checked(z - zx), 6));
            const Real residual = parse(calculation, Calculation::kResidual, row);
            sumZX = Accumulate(sumZX, zx);
            sumResidual = Accumulate(sumResidual, residual);
            if (z == 0) {
                calculation.setCell(Calculation::kRelativeError, row, kUndefined);
                return;
            }
            calculation.setCell(Calculation::kRelativeError, row,
                                fixed(std::fabs(Divide(Checked(residual * 100), z)), 6));
            sumError = Accumulate(sumError, parse(calculation, Calculation::kRelativeError, row));
            ++definedErrors;
        });
    }
    calculation.setCell(Calculation::kZX, sumRow, fixed(sumZX, 6));
    calculation.setCell(Calculation::kResidual, sumRow, FormatGeneral(sumResidual, separator));
    calculation.setCell(Calculation::kRelativeError, sumRow, fixed(sumError, 6));

    // Phase 6: mean error over the rows that have one.
    book.meanErrorCaption =
        definedErrors == 0
            ? "Aср=" + kUndefined
            : "Aср=" + fixed(Divide(sumError, definedErrors), 3) + " %";

    // Phase 7: mean output over the table's rows.
    double meanY = 0;
    for (int row = 1; row <= m; ++row)
        meanY = InRow(row, [&] { return Accumulate(meanY, rows[row].y); });
    meanY = ToDouble(Divide(meanY, m));

    // Phase 8: fit in levels, chart and fit table.
    book.observedSeries.reserve(static_cast<std::size_t>(m));
    book.fittedSeries.reserve(static_cast<std::size_t>(m));
    double ssRes = 0, ssTot = 0;
    for (int row = 1; row <= m; ++row) {
        InRow(row, [&] {
            const std::string& year = observations.cell(Observation::kYear, row);
            const RowValues& v = rows[row];
            book.observedSeries.push_back({year, ToDouble(v.y)});
            const Real fitted = FittedInRow(book.A, book.alfa, v.k, v.l, row, kHeader, lHeader);
            book.fittedSeries.push_back({year, ToDouble(fitted)});
            book.fit.setRowCount(observations.rowCount());
            book.fit.setCell(FitColumn::kYear, row, year);
            book.fit.setCell(FitColumn::kY, row, observations.cell(Observation::kY, row));
            book.fit.setCell(FitColumn::kFittedY, row, fixed(fitted, 3));
            ssRes = Accumulate(ssRes, Checked((v.y - fitted) * (v.y - fitted)));
            ssTot = Accumulate(ssTot, Checked((v.y - meanY) * (v.y - meanY)));
        });
    }

    // Phase 9: R² in levels; it is negative when the fit is worse than the mean.
    try {
        const Real r2 = Checked(1 - Divide(ssRes, ssTot));
        book.r2Caption = "R2= " + fixed(Checked(r2 * 100), 3) + " %";
    } catch (const ArithmeticError& error) {
        throw ComputationError(error.what(), ssTot == 0 ? "R2 не определяется: все значения Y одинаковы."
                                                        : "При вычислении R2.");
    }
    return {};
}

std::vector<Forecast> ForecastCommand(Table& forecast, std::string& countText, const ForecastBasis& basis,
                                      char separator)
{
    if (countText == "0")
        countText = "1";
    forecast.setRowCount(ParseObservationCount(countText) + 1);
    std::vector<Forecast> forecasts;
    for (int row = 1; row < forecast.rowCount(); ++row) {
        if (forecast.cell(ForecastColumn::kK, row).empty() || forecast.cell(ForecastColumn::kL, row).empty())
            break;
        const Real k = ParseCell(forecast, ForecastColumn::kK, row, separator);
        const Real l = ParseCell(forecast, ForecastColumn::kL, row, separator);
        Forecast result;
        const std::string text = InRow(row, [&] {
            result.y = ToDouble(FittedInRow(basis.A, basis.alfa, k, l, row, forecast.cell(ForecastColumn::kK, 0),
                                            forecast.cell(ForecastColumn::kL, 0)));
            return FormatFixed(result.y, 6, separator);
        });
        result.interval = Predict(basis, result.y, ToDouble(k), ToDouble(l));
        forecast.setCell(ForecastColumn::kY, row, text);
        forecast.setCell(ForecastColumn::kInterval, row,
                         IntervalText(result.interval.low, result.interval.high, separator));
        forecasts.push_back(result);
    }
    return forecasts;
}

void ClearForecast(Table& forecast, std::string& countText)
{
    for (int row = 1; row < forecast.rowCount(); ++row)
        forecast.eraseRow(row);
    forecast.setRowCount(2);
    // The count rule for "1" would only repeat the row count and the number below.
    countText.assign(1, '1');  // not = "1": GCC 12 at -O3 warns falsely (-Wrestrict) on that
    forecast.setCell(ForecastColumn::kYear, 1, "1");
}

}  // namespace model
