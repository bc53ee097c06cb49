#pragma once

#include <string>
#include <vector>

// Statistics of a completed estimation: standard errors and tests of the
// fit Z = b + a·X, the unrestricted fit ln Y = c + α·ln K + β·ln L with the
// test of constant returns to scale, and the mean relative error in levels.
namespace model {

struct Workbook;
struct ComputeOutcome;

// Why a figure has no value.
enum class Gap {
    None,                // it has one
    TooFewObservations,  // the fit leaves no degree of freedom for it
    Undetermined,        // the data do not fix it: an exact fit, constant Z, collinear logarithms, L ≤ 0
    NotConverged,        // the iterations of a nonlinear fit did not converge
};

// One figure, or the reason it has none.
struct Figure {
    double value = 0;
    Gap gap = Gap::TooFewObservations;

    bool known() const { return gap == Gap::None; }
};

// A coefficient of the unrestricted fit.
struct Estimate {
    Figure value;
    Figure standardError;
};

// A coefficient of the program's fit, with its tests.
struct Coefficient : Estimate {
    Figure t;
    Figure p;          // two-sided
    Figure low, high;  // the 95 % confidence interval
};

struct Statistics {
    int n = 0;

    // Z = b + a·X, with the a and b the estimation wrote.
    Coefficient a, b;
    Figure r2, adjustedR2;
    Figure f, fP;  // F(1, n − 2) of the regression
    Figure residualStandardError;
    double xMean = 0, sxx = 0;  // X̄ and Σ (X − X̄)², which a forecast's prediction interval needs

    // ln Y = c + α·ln K + β·ln L.
    Estimate alpha, beta, c, alphaPlusBeta;
    Figure crsF, crsP;  // F(1, n − 3) of α + β = 1

    Figure meanRelativeError;  // mean |100·(Y − Ŷ)/Y|, in percent
};

// The statistics of the book's estimation. Needs a ComputeCommand that went
// through: reads the X and Z texts of the calculation rows as shown, L of
// the observations, alfa and A, and the chart series for Y and Ŷ.
// ln K and ln Y are taken as X + ln L and Z + ln L, so that the unrestricted
// fit and the test rest on the same rounded logarithms as a and b.
Statistics ComputeStatistics(const Workbook& book, char separator);

// "Вычислить" with its statistics: drops the book's statistics and
// diagnostics, runs ComputeCommand and, when it went through, stores new ones. Throws what
// ComputeCommand throws.
ComputeOutcome ComputeWithStatistics(Workbook& book, char separator);

// One line of the statistics page. A line with an empty value is a heading.
struct StatisticsLine {
    std::string label;
    std::string value;

    bool operator==(const StatisticsLine&) const = default;
};

// The lines the statistics page shows, numbers written with `separator`.
std::vector<StatisticsLine> StatisticsLines(const Statistics& statistics, char separator);

// The one-line verdict of the constant-returns test at the 5 % level, or
// the reason there is none.
std::string ConstantReturnsConclusion(const Statistics& statistics);

// The text of a figure's gap: "недостаточно наблюдений", "не определяется"
// or "итерации не сошлись".
std::string GapText(Gap gap);

// A value as a figure: Undetermined when it is not finite.
Figure Known(double value);

// The mean of `values`, which must not be empty.
double Mean(const std::vector<double>& values);

// Σ (u − ū)(v − v̄) over two series of the same length.
double CentredProducts(const std::vector<double>& u, const std::vector<double>& v);

// The estimate's t, two-sided p and 95 % interval with `df` degrees of
// freedom; they share the standard error's gap when it has one.
Coefficient Tested(const Estimate& estimate, int df);

// A figure with `decimals` decimals, or the text of its gap.
std::string FigureText(const Figure& figure, int decimals, char separator);

// A p-value to four significant digits, or the text of its gap.
std::string PValueText(const Figure& figure, char separator);

// An interval "[low; high]" with six decimals, or the text of low's gap.
std::string IntervalText(const Figure& low, const Figure& high, char separator);

// The five lines of a coefficient named `name`: its value, standard error,
// t, p and 95 % interval, the last four indented.
void AppendCoefficientLines(std::vector<StatisticsLine>& lines, const std::string& name,
                            const Coefficient& coefficient, char separator);

}  // namespace model
