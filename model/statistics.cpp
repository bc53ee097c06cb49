#include "model/statistics.h"

#include "model/estimation.h"
#include "model/number_text.h"
#include "model/workbook.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>

#include <algorithm>
#include <cmath>

namespace model {

namespace {

constexpr double kLevel = 0.05;

Figure Missing(Gap gap)
{
    return {0, gap};
}

// p of a t statistic with `df` degrees of freedom, both sides.
double TwoSidedP(double t, double df)
{
    const boost::math::students_t distribution(df);
    return 2 * boost::math::cdf(boost::math::complement(distribution, std::fabs(t)));
}

double UpperP(double f, double df2)
{
    const boost::math::fisher_f distribution(1, df2);
    return boost::math::cdf(boost::math::complement(distribution, f));
}

// The standard error sqrt(variance) when there are degrees of freedom left.
Figure StandardError(double variance, int df)
{
    if (df < 1)
        return Missing(Gap::TooFewObservations);
    return Known(std::sqrt(std::max(0.0, variance)));
}

// Z = b + a·X with the book's a and b.
void FitRestricted(Statistics& s, const std::vector<double>& x, const std::vector<double>& z, double a,
                   double b)
{
    const int n = s.n;
    const int df = n - 2;
    double ssr = 0;
    for (std::size_t i = 0; i < x.size(); ++i)
        ssr += (z[i] - b - a * x[i]) * (z[i] - b - a * x[i]);
    const double sxx = CentredProducts(x, x);
    const double sst = CentredProducts(z, z);
    const double variance = df >= 1 ? ssr / df : 0;
    const double xMean = Mean(x);

    s.a = Tested({Known(a), StandardError(variance / sxx, df)}, df);
    s.b = Tested({Known(b), StandardError(variance * (1.0 / n + xMean * xMean / sxx), df)}, df);
    s.residualStandardError = StandardError(variance, df);
    s.xMean = xMean;
    s.sxx = sxx;

    s.r2 = sst > 0 ? Known(1 - ssr / sst) : Missing(Gap::Undetermined);
    if (!s.r2.known() || df < 1) {
        s.adjustedR2 = s.f = s.fP = s.r2.known() ? Missing(Gap::TooFewObservations) : s.r2;
        return;
    }
    s.adjustedR2 = Known(1 - (1 - s.r2.value) * (n - 1) / df);
    if (ssr == 0) {
        s.f = s.fP = Missing(Gap::Undetermined);
        return;
    }
    // Rounding may put a least-squares SSR a hair above SST.
    s.f = Known(std::max(0.0, (sst - ssr) / (ssr / df)));
    s.fP = s.f.known() ? Known(UpperP(s.f.value, df)) : s.f;
}

void SetUnrestricted(Statistics& s, const Figure& figure)
{
    for (Estimate* estimate : {&s.alpha, &s.beta, &s.c, &s.alphaPlusBeta})
        estimate->value = estimate->standardError = figure;
    s.crsF = s.crsP = figure;
}

// ln Y = c + α·ln K + β·ln L, fitted as Z = c + α·X + γ·ln L with γ = α + β − 1.
// `lnL` is empty when some L is not positive.
void FitUnrestricted(Statistics& s, const std::vector<double>& x, const std::vector<double>& z,
                     const std::vector<double>& lnL)
{
    const int n = s.n;
    const int df = n - 3;
    if (df < 0)
        return SetUnrestricted(s, Missing(Gap::TooFewObservations));
    if (lnL.empty())
        return SetUnrestricted(s, Missing(Gap::Undetermined));
    const double sxx = CentredProducts(x, x), sll = CentredProducts(lnL, lnL);
    const double sxl = CentredProducts(x, lnL);
    const double det = sxx * sll - sxl * sxl;
    // Constant L, or ln L on a line with X, leaves α and β undetermined.
    double lnLSquares = 0;
    for (double value : lnL)
        lnLSquares += value * value;
    if (sll <= 1e-12 * lnLSquares || det <= 1e-10 * sxx * sll)
        return SetUnrestricted(s, Missing(Gap::Undetermined));

    const double sxz = CentredProducts(x, z), slz = CentredProducts(lnL, z);
    const double alpha = (sll * sxz - sxl * slz) / det;
    const double gamma = (sxx * slz - sxl * sxz) / det;
    const double xMean = Mean(x), lMean = Mean(lnL);
    const double c = Mean(z) - alpha * xMean - gamma * lMean;
    double ssr = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double residual = z[i] - c - alpha * x[i] - gamma * lnL[i];
        ssr += residual * residual;
    }
    // Covariances of (α, γ) are variance · S⁻¹ of the centred regressors.
    const double variance = df >= 1 ? ssr / df : 0;
    const double varAlpha = variance * sll / det;
    const double varGamma = variance * sxx / det;
    const double covAlphaGamma = -variance * sxl / det;
    const double varC =
        variance * (1.0 / n + (xMean * xMean * sll - 2 * xMean * lMean * sxl + lMean * lMean * sxx) / det);

    s.alpha = {Known(alpha), StandardError(varAlpha, df)};
    s.beta = {Known(1 + gamma - alpha), StandardError(varGamma + varAlpha - 2 * covAlphaGamma, df)};
    s.c = {Known(c), StandardError(varC, df)};
    s.alphaPlusBeta = {Known(1 + gamma), StandardError(varGamma, df)};

    // The F test of one restriction is the square of γ's t statistic.
    const Figure& gammaError = s.alphaPlusBeta.standardError;
    if (!gammaError.known()) {
        s.crsF = s.crsP = gammaError;
        return;
    }
    if (gammaError.value == 0) {
        s.crsF = s.crsP = Missing(Gap::Undetermined);
        return;
    }
    s.crsF = Known((gamma / gammaError.value) * (gamma / gammaError.value));
    s.crsP = s.crsF.known() ? Known(UpperP(s.crsF.value, df)) : s.crsF;
}

// Rounded to `digits` significant digits, so that FormatGeneral writes no more.
double Significant(double value, int digits)
{
    if (value == 0)
        return 0;
    const double scale = std::pow(10.0, digits - 1 - std::floor(std::log10(std::fabs(value))));
    return std::round(value * scale) / scale;
}

}  // namespace

double Mean(const std::vector<double>& values)
{
    double sum = 0;
    for (double value : values)
        sum += value;
    return sum / static_cast<double>(values.size());
}

double CentredProducts(const std::vector<double>& u, const std::vector<double>& v)
{
    const double uMean = Mean(u), vMean = Mean(v);
    double sum = 0;
    for (std::size_t i = 0; i < u.size(); ++i)
        sum += (u[i] - uMean) * (v[i] - vMean);
    return sum;
}

Figure Known(double value)
{
    if (!std::isfinite(value))
        return {0, Gap::Undetermined};
    return {value, Gap::None};
}

Coefficient Tested(const Estimate& estimate, int df)
{
    Coefficient result;
    static_cast<Estimate&>(result) = estimate;
    if (!estimate.standardError.known()) {
        result.t = result.p = result.low = result.high = estimate.standardError;
        return result;
    }
    const double value = estimate.value.value;
    const double error = estimate.standardError.value;
    const boost::math::students_t distribution(df);
    const double half = boost::math::quantile(boost::math::complement(distribution, kLevel / 2)) * error;
    result.low = Known(value - half);
    result.high = Known(value + half);
    if (error == 0) {
        result.t = result.p = Missing(Gap::Undetermined);
        return result;
    }
    result.t = Known(value / error);
    result.p = result.t.known() ? Known(TwoSidedP(result.t.value, df)) : result.t;
    return result;
}

std::string GapText(Gap gap)
{
    switch (gap) {
    case Gap::None:
        break;
    case Gap::TooFewObservations:
        return "недостаточно наблюдений";
    case Gap::Undetermined:
        return "не определяется";
    case Gap::NotConverged:
        return "итерации не сошлись";
    }
    return {};
}

Statistics ComputeStatistics(const Workbook& book, char separator)
{
    Statistics s;
    s.n = book.observations.rowCount() - 1;
    std::vector<double> x, z, lnL;
    bool positiveL = true;
    for (int row = 1; row <= s.n; ++row) {
        x.push_back(ParseNumber(book.calculation.cell(CalculationColumn::kX, row), separator));
        z.push_back(ParseNumber(book.calculation.cell(CalculationColumn::kZ, row), separator));
        const double l = ParseNumber(book.observations.cell(ObservationColumn::kL, row), separator);
        positiveL = positiveL && l > 0;
        lnL.push_back(positiveL ? std::log(l) : 0);
    }
    if (!positiveL)
        lnL.clear();

    FitRestricted(s, x, z, book.alfa, std::log(book.A));
    FitUnrestricted(s, x, z, lnL);

    double sumError = 0;
    for (std::size_t i = 0; i < book.observedSeries.size(); ++i) {
        const double y = book.observedSeries[i].value;
        sumError += std::fabs(100 * (y - book.fittedSeries[i].value) / y);
    }
    s.meanRelativeError = Known(sumError / static_cast<double>(book.observedSeries.size()));
    return s;
}

ComputeOutcome ComputeWithStatistics(Workbook& book, char separator)
{
    book.statistics.reset();
    book.diagnostics.reset();
    ComputeOutcome outcome = ComputeCommand(book, separator);
    if (outcome.complete()) {
        book.statistics = ComputeStatistics(book, separator);
        book.diagnostics = ComputeDiagnostics(book, separator);
    }
    return outcome;
}

std::string ConstantReturnsConclusion(const Statistics& statistics)
{
    if (!statistics.crsP.known())
        return GapText(statistics.crsP.gap);
    if (statistics.crsP.value >= kLevel)
        return "гипотеза α + β = 1 не отвергается: отдача от масштаба постоянная";
    return std::string("гипотеза α + β = 1 отвергается: отдача от масштаба ")
           + (statistics.alphaPlusBeta.value.value > 1 ? "возрастающая" : "убывающая");
}

std::string FigureText(const Figure& figure, int decimals, char separator)
{
    return figure.known() ? FormatFixed(figure.value, decimals, separator) : GapText(figure.gap);
}

std::string PValueText(const Figure& figure, char separator)
{
    return figure.known() ? FormatGeneral(Significant(figure.value, 4), separator) : GapText(figure.gap);
}

std::string IntervalText(const Figure& low, const Figure& high, char separator)
{
    if (!low.known())
        return GapText(low.gap);
    // std::string first: GCC 12 at -O3 warns falsely (-Wrestrict) on "[" + text.
    return std::string("[") + FigureText(low, 6, separator) + "; " + FigureText(high, 6, separator) + "]";
}

void AppendCoefficientLines(std::vector<StatisticsLine>& lines, const std::string& name,
                            const Coefficient& coefficient, char separator)
{
    const std::string suffix = " " + name;
    lines.push_back({name, FigureText(coefficient.value, 6, separator)});
    lines.push_back({"    стандартная ошибка" + suffix, FigureText(coefficient.standardError, 6, separator)});
    lines.push_back({"    t-статистика" + suffix, FigureText(coefficient.t, 4, separator)});
    lines.push_back({"    p-значение" + suffix, PValueText(coefficient.p, separator)});
    lines.push_back({"    95 % доверительный интервал" + suffix,
                     IntervalText(coefficient.low, coefficient.high, separator)});
}

std::vector<StatisticsLine> StatisticsLines(const Statistics& s, char separator)
{
    const auto text = [separator](const Figure& figure, int decimals) {
        return FigureText(figure, decimals, separator);
    };
    const auto pText = [separator](const Figure& figure) { return PValueText(figure, separator); };
    const auto degrees = [](const char* label, int df) {
        return std::string(label) + (df >= 1 ? ", F(1; " + std::to_string(df) + ")" : "");
    };

    std::vector<StatisticsLine> lines;
    lines.push_back({"Регрессия Z = b + a·X", ""});
    lines.push_back({"Число наблюдений", std::to_string(s.n)});
    AppendCoefficientLines(lines, "a", s.a, separator);
    AppendCoefficientLines(lines, "b", s.b, separator);
    lines.push_back({"R² (в логарифмах)", text(s.r2, 6)});
    lines.push_back({"Скорректированный R²", text(s.adjustedR2, 6)});
    lines.push_back({degrees("F-статистика", s.n - 2), text(s.f, 4)});
    lines.push_back({"    p-значение F", pText(s.fP)});
    lines.push_back({"Стандартная ошибка регрессии", text(s.residualStandardError, 6)});

    lines.push_back({"Регрессия ln Y = c + α·ln K + β·ln L", ""});
    for (const auto& [name, estimate] : {std::pair{"α", &s.alpha}, std::pair{"β", &s.beta},
                                         std::pair{"c", &s.c}, std::pair{"α + β", &s.alphaPlusBeta}}) {
        lines.push_back({name, text(estimate->value, 6)});
        lines.push_back({std::string("    стандартная ошибка ") + name, text(estimate->standardError, 6)});
    }
    lines.push_back({degrees("Проверка α + β = 1", s.n - 3), text(s.crsF, 4)});
    lines.push_back({"    p-значение проверки", pText(s.crsP)});
    lines.push_back({"Вывод (уровень 5 %)", ConstantReturnsConclusion(s)});

    lines.push_back({"Средняя относительная ошибка |100·(Y − Ŷ)/Y|", s.meanRelativeError.known()
                                                                         ? text(s.meanRelativeError, 3) + " %"
                                                                         : GapText(s.meanRelativeError.gap)});
    return lines;
}

}  // namespace model
