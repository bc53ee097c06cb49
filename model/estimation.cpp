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
        throw ComputationError(error.what(), row,
                               error.factor() == FactorError::kCapital ? kColumn : lColumn);
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
    std::string xText, zText;  // the logarithms as first written
    Real x = 0, z = 0;         // parsed back from the calculation table
};

// What the phases of ComputeCommand share: the book, the separator, the data
// rows' values and the sums the later phases need.
struct Computation {
    Computation(Workbook& book, char separator)
        : book(book), separator(separator), m(book.observations.rowCount() - 1),
          rows(static_cast<std::size_t>(m) + 1)
    {
    }

    std::string fixed(Real value, int decimals) const
    {
        return FormatFixed(ToDouble(value), decimals, separator);
    }

    Real parse(const Table& table, int column, int row) const
    {
        return ParseCell(table, column, row, separator);
    }

    const std::string& header(int observationColumn) const
    {
        return book.observations.cell(observationColumn, 0);
    }

    Workbook& book;
    const char separator;
    const int m;                  // data rows
    std::vector<RowValues> rows;  // by data row; rows[0] is unused
    double sumX = 0, sumZ = 0, sumXZ = 0, sumX2 = 0, sumZ2 = 0;
    int sumRow = 0;  // the calculation table's "Sum" row
    double b = 0;    // ln A
};

// Clears what a run leaves from the run before: the chart lines, the
// coefficients and their captions.
void ResetResults(Workbook& book)
{
    book.observedSeries.clear();
    book.fittedSeries.clear();
    book.alfa = 0;
    ResetCoefficientCaptions(book);
    book.A = 0;
}

// The logarithms X = ln(K/L) and Z = ln(Y/L) of every row; nothing is written
// until every row has its X and Z. Stops at the first row with an empty cell.
ComputeOutcome ReadLogarithms(Computation& c)
{
    const Table& observations = c.book.observations;
    for (int row = 1; row <= c.m; ++row) {
        for (int column : {Observation::kY, Observation::kK, Observation::kL}) {
            if (observations.cell(column, row).empty())
                return {row, c.header(column)};
        }
        RowValues& v = c.rows[row];
        v.y = c.parse(observations, Observation::kY, row);
        v.l = c.parse(observations, Observation::kL, row);
        v.zText = InRow(row, [&] {
            return c.fixed(LnRatio(v.y, v.l, row, c.header(Observation::kY), c.header(Observation::kL)), 6);
        });
        v.k = c.parse(observations, Observation::kK, row);
        v.xText = InRow(row, [&] {
            return c.fixed(LnRatio(v.k, v.l, row, c.header(Observation::kK), c.header(Observation::kL)), 6);
        });
    }
    return {};
}

// The calculation rows and their sums, with placeholders where
// WriteResiduals writes.
void WriteCalculationRows(Computation& c)
{
    Table& calculation = c.book.calculation;
    if (calculation.rowCount() < c.m + 1)
        calculation.setRowCount(c.m + 1);
    const std::string zeroText = c.fixed(0, 6);
    for (int row = 1; row <= c.m; ++row) {
        InRow(row, [&] {
            RowValues& v = c.rows[row];
            calculation.setCell(Calculation::kX, row, v.xText);
            calculation.setCell(Calculation::kZ, row, v.zText);
            v.x = c.parse(calculation, Calculation::kX, row);
            v.z = c.parse(calculation, Calculation::kZ, row);
            const Real x = v.x, z = v.z;
            calculation.setCell(Calculation::kXZ, row, c.fixed(Checked(x * z), 6));
            calculation.setCell(Calculation::kX2, row, c.fixed(Checked(x * x), 6));
            calculation.setCell(Calculation::kZX, row, zeroText);
            calculation.setCell(Calculation::kResidual, row, "2");
            calculation.setCell(Calculation::kZ2, row, c.fixed(Checked(z * z), 6));
            calculation.setCell(Calculation::kRelativeError, row, "333");
            c.sumX = Accumulate(c.sumX, x);
            c.sumZ = Accumulate(c.sumZ, z);
            c.sumXZ = Accumulate(c.sumXZ, c.parse(calculation, Calculation::kXZ, row));
            c.sumX2 = Accumulate(c.sumX2, c.parse(calculation, Calculation::kX2, row));
            c.sumZ2 = Accumulate(c.sumZ2, c.parse(calculation, Calculation::kZ2, row));
        });
    }
}

// The one "Sum" row, rewritten whole on every run so that no sum of an
// earlier run survives (a re-shown hidden row holds old text).
void WriteSumRow(Computation& c)
{
    Table& calculation = c.book.calculation;
    if (calculation.cell(Calculation::kYear, calculation.rowCount() - 1) != kSumLabel)
        calculation.setRowCount(calculation.rowCount() + 1);
    c.sumRow = calculation.rowCount() - 1;
    calculation.setCell(Calculation::kYear, c.sumRow, kSumLabel);
    calculation.setCell(Calculation::kX, c.sumRow, c.fixed(c.sumX, 6));
    calculation.setCell(Calculation::kZ, c.sumRow, c.fixed(c.sumZ, 6));
    calculation.setCell(Calculation::kXZ, c.sumRow, c.fixed(c.sumXZ, 6));
    calculation.setCell(Calculation::kX2, c.sumRow, c.fixed(c.sumX2, 6));
    calculation.setCell(Calculation::kZ2, c.sumRow, c.fixed(c.sumZ2, 6));
    for (int column : {Calculation::kZX, Calculation::kResidual, Calculation::kRelativeError})
        calculation.setCell(column, c.sumRow, std::string());
}

// A line through points that share one X, or through one point, is not
// determined: the slope's denominator is zero but for rounding.
void RequireDeterminedLine(const Computation& c)
{
    if (c.m < 2)
        throw ComputationError("Коэффициенты не определяются: нужно не меньше двух наблюдений.", {});
    bool xVaries = false;
    for (int row = 2; row <= c.m && !xVaries; ++row)
        xVaries = c.rows[row].xText != c.rows[1].xText;
    if (!xVaries)
        throw ComputationError("Коэффициенты не определяются: отношение K/L одинаково во всех "
                               "наблюдениях (все X равны).",
                               {});
}

// alfa, A and b = ln A by least squares over the count field's n, with their
// captions and the formula.
void ComputeCoefficients(Computation& c)
{
    Workbook& book = c.book;
    Real n = 0;
    try {
        n = ParseNumber(book.countText, c.separator);
    } catch (const ConversionError& error) {
        throw ComputationError(error.what(), "Поле «Кол-во наблюдений».");
    }
    try {
        book.alfa = ToDouble(Divide(Checked(n * c.sumXZ - static_cast<Real>(c.sumX) * c.sumZ),
                                    Checked(n * c.sumX2 - static_cast<Real>(c.sumX) * c.sumX)));
        book.aCaption = "a=" + c.fixed(book.alfa, 6);
        const double lnA = ToDouble(Checked(Divide(1, n) * c.sumZ - Divide(book.alfa, n) * c.sumX));
        book.A = ToDouble(Power(Exp(1), lnA));
        c.b = ToDouble(Ln(book.A));
    } catch (const ArithmeticError& error) {
        throw ComputationError(error.what(), "При вычислении коэффициентов.");
    }
    book.ACaption = "A=" + c.fixed(book.A, 6);
    book.formula = "Y=" + c.fixed(book.A, 6) + "*(K^" + c.fixed(book.alfa, 6) + ")*(L^"
                   + c.fixed(1 - static_cast<Real>(book.alfa), 6) + ")";
    book.bCaption = "b=" + c.fixed(c.b, 4);
}

// The fitted line Z(X), the residuals and the relative errors with their
// sums, then the mean error. A row whose Z is zero has no relative error: it
// is shown as undefined and left out of the sum and the mean.
void WriteResiduals(Computation& c)
{
    Table& calculation = c.book.calculation;
    double sumZX = 0, sumResidual = 0, sumError = 0;
    int definedErrors = 0;
    for (int row = 1; row <= c.m; ++row) {
        InRow(row, [&] {
            const Real z = c.rows[row].z;
            calculation.setCell(Calculation::kZX, row,
                                c.fixed(Checked(c.book.alfa * c.rows[row].x + c.b), 6));
            const Real zx = c.parse(calculation, Calculation::kZX, row);
            calculation.setCell(Calculation::kResidual, row, c.fixed(Checked(z - zx), 6));
            const Real residual = c.parse(calculation, Calculation::kResidual, row);
            sumZX = Accumulate(sumZX, zx);
            sumResidual = Accumulate(sumResidual, residual);
            if (z == 0) {
                calculation.setCell(Calculation::kRelativeError, row, kUndefined);
                return;
            }
            calculation.setCell(Calculation::kRelativeError, row,
                                c.fixed(std::fabs(Divide(Checked(residual * 100), z)), 6));
            sumError = Accumulate(sumError, c.parse(calculation, Calculation::kRelativeError, row));
            ++definedErrors;
        });
    }
    calculation.setCell(Calculation::kZX, c.sumRow, c.fixed(sumZX, 6));
    calculation.setCell(Calculation::kResidual, c.sumRow, FormatGeneral(sumResidual, c.separator));
    calculation.setCell(Calculation::kRelativeError, c.sumRow, c.fixed(sumError, 6));

    c.book.meanErrorCaption = definedErrors == 0
                                  ? "Aср=" + kUndefined
                                  : "Aср=" + c.fixed(Divide(sumError, definedErrors), 3) + " %";
}

// The fit in levels: the chart lines, the fit table and R², which is
// negative when the fit is worse than the mean.
void WriteFit(Computation& c)
{
    Workbook& book = c.book;
    const Table& observations = book.observations;
    double meanY = 0;
    for (int row = 1; row <= c.m; ++row)
        meanY = InRow(row, [&] { return Accumulate(meanY, c.rows[row].y); });
    meanY = ToDouble(Divide(meanY, c.m));

    book.observedSeries.reserve(static_cast<std::size_t>(c.m));
    book.fittedSeries.reserve(static_cast<std::size_t>(c.m));
    double ssRes = 0, ssTot = 0;
    for (int row = 1; row <= c.m; ++row) {
        InRow(row, [&] {
            const std::string& year = observations.cell(Observation::kYear, row);
            const RowValues& v = c.rows[row];
            book.observedSeries.push_back({year, ToDouble(v.y)});
            const Real fitted = FittedInRow(book.A, book.alfa, v.k, v.l, row, c.header(Observation::kK),
                                            c.header(Observation::kL));
            book.fittedSeries.push_back({year, ToDouble(fitted)});
            book.fit.setRowCount(observations.rowCount());
            book.fit.setCell(FitColumn::kYear, row, year);
            book.fit.setCell(FitColumn::kY, row, observations.cell(Observation::kY, row));
            book.fit.setCell(FitColumn::kFittedY, row, c.fixed(fitted, 3));
            ssRes = Accumulate(ssRes, Checked((v.y - fitted) * (v.y - fitted)));
            ssTot = Accumulate(ssTot, Checked((v.y - meanY) * (v.y - meanY)));
        });
    }

    try {
        const Real r2 = Checked(1 - Divide(ssRes, ssTot));
        book.r2Caption = "R2= " + c.fixed(Checked(r2 * 100), 3) + " %";
    } catch (const ArithmeticError& error) {
        throw ComputationError(error.what(), ssTot == 0 ? "R2 не определяется: все значения Y одинаковы."
                                                        : "При вычислении R2.");
    }
}

}  // namespace

ComputationError::ComputationError(const std::string& message, int row, std::string column)
    : std::runtime_error(message + "\n" + Place(row, column)), m_row(row), m_column(std::move(column))
{
}

ComputationError::ComputationError(const std::string& message, const std::string& place)
    : std::runtime_error(place.empty() ? message : message + "\n" + place)
{
}

FactorError::FactorError(const ArithmeticError& cause, Factor factor)
    : ArithmeticError(cause), m_factor(factor)
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
    ResetResults(book);
    Computation computation(book, separator);
    ComputeOutcome read = ReadLogarithms(computation);
    if (!read.complete())
        return read;
    WriteCalculationRows(computation);
    WriteSumRow(computation);
    RequireDeterminedLine(computation);
    ComputeCoefficients(computation);
    WriteResiduals(computation);
    WriteFit(computation);
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
            result.y =
                ToDouble(FittedInRow(basis.A, basis.alfa, k, l, row, forecast.cell(ForecastColumn::kK, 0),
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
