#include "model/diagnostics.h"

#include "model/number_text.h"
#include "model/workbook.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/quadrature/exp_sinh.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace model {

namespace {

constexpr double kLevel = 0.05;

// Residuals no larger than this are the rounding of the six-decimal
// logarithms: the fit is exact and the residuals tell nothing.
constexpr double kRoundingResidual = 1e-6;

// The numerical integral behind the Durbin–Watson p is good to about this
// much; a smaller p is shown as below it.
constexpr double kSmallestDurbinWatsonP = 1e-10;

Figure Missing(Gap gap)
{
    return {0, gap};
}

double ChiSquaredUpperP(double statistic, double df)
{
    const boost::math::chi_squared distribution(df);
    return boost::math::cdf(boost::math::complement(distribution, std::max(0.0, statistic)));
}

// y = c + β₁·u + β₂·v by least squares, with the variances of the estimates.
struct PlaneFit {
    bool determined = false;
    double c = 0, beta1 = 0, beta2 = 0;
    double ssr = 0, sst = 0;
    double varC = 0, var1 = 0, var2 = 0;  // with σ² = SSR/(n − 3)
};

PlaneFit FitPlane(const std::vector<double>& u, const std::vector<double>& v, const std::vector<double>& y)
{
    PlaneFit fit;
    const double n = static_cast<double>(y.size());
    const double suu = CentredProducts(u, u), svv = CentredProducts(v, v), suv = CentredProducts(u, v);
    const double det = suu * svv - suv * suv;
    // A constant regressor, or two on one line, leave the coefficients undetermined.
    if (!(suu > 0 && svv > 0) || det <= 1e-10 * suu * svv)
        return fit;
    const double suy = CentredProducts(u, y), svy = CentredProducts(v, y);
    const double uMean = Mean(u), vMean = Mean(v);
    fit.determined = true;
    fit.beta1 = (svv * suy - suv * svy) / det;
    fit.beta2 = (suu * svy - suv * suy) / det;
    fit.c = Mean(y) - fit.beta1 * uMean - fit.beta2 * vMean;
    for (std::size_t i = 0; i < y.size(); ++i) {
        const double residual = y[i] - fit.c - fit.beta1 * u[i] - fit.beta2 * v[i];
        fit.ssr += residual * residual;
    }
    fit.sst = CentredProducts(y, y);
    const double variance = n > 3 ? fit.ssr / (n - 3) : 0;
    fit.var1 = variance * svv / det;
    fit.var2 = variance * suu / det;
    fit.varC =
        variance * (1 / n + (uMean * uMean * svv - 2 * uMean * vMean * suv + vMean * vMean * suu) / det);
    return fit;
}

// The eigenvalues of a symmetric matrix (cyclic Jacobi rotations).
std::vector<double> Eigenvalues(std::vector<std::vector<double>> m)
{
    const std::size_t n = m.size();
    for (int sweep = 0; sweep < 100; ++sweep) {
        double off = 0, total = 0;
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < n; ++j)
                (i == j ? total : off) += m[i][j] * m[i][j];
        if (off <= 1e-30 * (total + off))
            break;
        for (std::size_t p = 0; p + 1 < n; ++p) {
            for (std::size_t q = p + 1; q < n; ++q) {
                if (m[p][q] == 0)
                    continue;
                const double theta = (m[q][q] - m[p][p]) / (2 * m[p][q]);
                const double t = (theta >= 0 ? 1 : -1) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
                const double c = 1 / std::sqrt(t * t + 1), s = t * c;
                for (std::size_t k = 0; k < n; ++k) {
                    const double kp = m[k][p], kq = m[k][q];
                    m[k][p] = c * kp - s * kq;
                    m[k][q] = s * kp + c * kq;
                }
                for (std::size_t k = 0; k < n; ++k) {
                    const double pk = m[p][k], qk = m[q][k];
                    m[p][k] = c * pk - s * qk;
                    m[q][k] = s * pk + c * qk;
                }
            }
        }
    }
    std::vector<double> values(n);
    for (std::size_t i = 0; i < n; ++i)
        values[i] = m[i][i];
    return values;
}

// P(DW ≤ d) for independent normal errors and the regressors 1 and x: DW is
// e'Ae/e'e with e = Mu, so the probability is P(Σ (νᵢ − d)·χ²₁ ≤ 0) over
// the n − 2 eigenvalues νᵢ of MAM that are not zero, which Imhof's
// integral gives.
double DurbinWatsonP(const std::vector<double>& x, double d)
{
    const std::size_t n = x.size();
    const double xMean = Mean(x), sxx = CentredProducts(x, x);
    std::vector<std::vector<double>> m(n, std::vector<double>(n));
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            m[i][j] =
                (i == j ? 1.0 : 0.0) - 1.0 / static_cast<double>(n) - (x[i] - xMean) * (x[j] - xMean) / sxx;
    // A·M, with A the first-difference matrix: 1, 2, …, 2, 1 on the diagonal, −1 beside it.
    std::vector<std::vector<double>> am(n, std::vector<double>(n));
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j) {
            const double diagonal = (i == 0 || i + 1 == n) ? 1 : 2;
            am[i][j] = diagonal * m[i][j] - (i > 0 ? m[i - 1][j] : 0) - (i + 1 < n ? m[i + 1][j] : 0);
        }
    std::vector<std::vector<double>> mam(n, std::vector<double>(n));
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j) {
            double sum = 0;
            for (std::size_t k = 0; k < n; ++k)
                sum += m[i][k] * am[k][j];
            mam[i][j] = sum;
        }
    std::vector<double> nu = Eigenvalues(mam);
    std::sort(nu.begin(), nu.end());
    // The two zero eigenvalues belong to the regressors.
    std::vector<double> lambda(nu.begin() + 2, nu.end());
    for (double& value : lambda)
        value -= d;
    if (std::all_of(lambda.begin(), lambda.end(), [](double value) { return value >= 0; }))
        return 0;
    if (std::all_of(lambda.begin(), lambda.end(), [](double value) { return value <= 0; }))
        return 1;

    const auto integrand = [&lambda](double u) {
        if (u == 0) {
            double sum = 0;
            for (double value : lambda)
                sum += value;
            return sum / 2;
        }
        double theta = 0, logRho = 0;
        for (double value : lambda) {
            theta += std::atan(value * u);
            logRho += std::log1p(value * value * u * u);
        }
        const double result = std::sin(theta / 2) / (u * std::exp(logRho / 4));
        return std::isfinite(result) ? result : 0.0;
    };
    boost::math::quadrature::exp_sinh<double> integrator;
    const double integral = integrator.integrate(integrand, 1e-12);
    return std::clamp(0.5 - integral / std::numbers::pi, 0.0, 1.0);
}

ResidualTests TestResiduals(const std::vector<double>& x, const std::vector<double>& e)
{
    ResidualTests tests;
    const std::size_t n = e.size();
    if (n < 3)
        return tests;  // a line through two points leaves no residual
    const bool exact =
        std::all_of(e.begin(), e.end(), [](double value) { return std::fabs(value) <= kRoundingResidual; });
    if (exact) {
        tests.durbinWatson = tests.durbinWatsonP = tests.breuschGodfrey = tests.breuschGodfreyP =
            tests.skewness = tests.kurtosis = tests.jarqueBera = tests.jarqueBeraP =
                Missing(Gap::Undetermined);
        return tests;
    }

    double squares = 0, differences = 0;
    for (std::size_t i = 0; i < n; ++i) {
        squares += e[i] * e[i];
        if (i > 0)
            differences += (e[i] - e[i - 1]) * (e[i] - e[i - 1]);
    }
    tests.durbinWatson = Known(differences / squares);
    if (tests.durbinWatson.known())
        tests.durbinWatsonP = Known(DurbinWatsonP(x, tests.durbinWatson.value));

    if (n > 3) {
        std::vector<double> lagged(n, 0.0);
        std::copy(e.begin(), e.end() - 1, lagged.begin() + 1);
        const PlaneFit auxiliary = FitPlane(x, lagged, e);
        if (auxiliary.determined && auxiliary.sst > 0) {
            tests.breuschGodfrey = Known(static_cast<double>(n) * (1 - auxiliary.ssr / auxiliary.sst));
            tests.breuschGodfreyP = tests.breuschGodfrey.known()
                                        ? Known(ChiSquaredUpperP(tests.breuschGodfrey.value, 1))
                                        : tests.breuschGodfrey;
        } else {
            tests.breuschGodfrey = tests.breuschGodfreyP = Missing(Gap::Undetermined);
        }
    }

    const double mean = Mean(e);
    double m2 = 0, m3 = 0, m4 = 0;
    for (double value : e) {
        const double u = value - mean;
        m2 += u * u;
        m3 += u * u * u;
        m4 += u * u * u * u;
    }
    m2 /= static_cast<double>(n);
    m3 /= static_cast<double>(n);
    m4 /= static_cast<double>(n);
    tests.skewness = Known(m3 / std::pow(m2, 1.5));
    tests.kurtosis = Known(m4 / (m2 * m2));
    if (tests.skewness.known() && tests.kurtosis.known()) {
        const double s = tests.skewness.value, excess = tests.kurtosis.value - 3;
        tests.jarqueBera = Known(static_cast<double>(n) / 6 * (s * s + excess * excess / 4));
        tests.jarqueBeraP =
            tests.jarqueBera.known() ? Known(ChiSquaredUpperP(tests.jarqueBera.value, 2)) : tests.jarqueBera;
    } else {
        tests.jarqueBera = tests.jarqueBeraP = Missing(Gap::Undetermined);
    }
    return tests;
}

Coefficient TestedFromVariance(double value, double variance, int df)
{
    return Tested({Known(value), Known(std::sqrt(std::max(0.0, variance)))}, df);
}

TrendFit FitTrend(const std::vector<double>& x, const std::vector<double>& z)
{
    TrendFit trend;
    const std::size_t n = z.size();
    // Three coefficients need a fourth observation before anything can be said of them.
    if (n <= 3)
        return trend;
    std::vector<double> t(n);
    for (std::size_t i = 0; i < n; ++i)
        t[i] = static_cast<double>(i + 1);
    const PlaneFit fit = FitPlane(x, t, z);
    if (!fit.determined) {
        Coefficient undetermined;
        undetermined.value = undetermined.standardError = undetermined.t = undetermined.p = undetermined.low =
            undetermined.high = Missing(Gap::Undetermined);
        trend.a = trend.lambda = trend.b = undetermined;
        trend.r2 = trend.productivityGrowth = Missing(Gap::Undetermined);
        return trend;
    }
    const int df = static_cast<int>(n) - 3;
    trend.a = TestedFromVariance(fit.beta1, fit.var1, df);
    trend.lambda = TestedFromVariance(fit.beta2, fit.var2, df);
    trend.b = TestedFromVariance(fit.c, fit.varC, df);
    trend.r2 = fit.sst > 0 ? Known(1 - fit.ssr / fit.sst) : Missing(Gap::Undetermined);
    trend.productivityGrowth = Known(100 * std::expm1(fit.beta2));
    return trend;
}

MarginalProducts At(std::string label, double alfa, double fitted, double k, double l)
{
    return {std::move(label), fitted, alfa * fitted / k, (1 - alfa) * fitted / l};
}

}  // namespace

Diagnostics ComputeDiagnostics(const Workbook& book, char separator)
{
    Diagnostics result;
    result.alfa = book.alfa;
    const int n = book.observations.rowCount() - 1;
    const double b = std::log(book.A);
    std::vector<double> x, z, y, k, l;
    for (int row = 1; row <= n; ++row) {
        x.push_back(ParseNumber(book.calculation.cell(CalculationColumn::kX, row), separator));
        z.push_back(ParseNumber(book.calculation.cell(CalculationColumn::kZ, row), separator));
        result.years.push_back(book.observations.cell(ObservationColumn::kYear, row));
        result.residuals.push_back(z.back() - b - book.alfa * x.back());
        y.push_back(ParseNumber(book.observations.cell(ObservationColumn::kY, row), separator));
        k.push_back(ParseNumber(book.observations.cell(ObservationColumn::kK, row), separator));
        l.push_back(ParseNumber(book.observations.cell(ObservationColumn::kL, row), separator));
        const double fitted = book.fittedSeries[static_cast<std::size_t>(row - 1)].value;
        result.marginal.push_back(At(result.years.back(), book.alfa, fitted, k.back(), l.back()));
    }
    result.levels = FitInLevels(y, k, l, book.A, book.alfa);
    result.tests = TestResiduals(x, result.residuals);
    result.trend = FitTrend(x, z);
    const double meanK = Mean(k), meanL = Mean(l);
    // Double arithmetic, not FittedOutput's extended precision: --json prints
    // these figures to the last digit.
    result.atMeans =
        At({}, book.alfa, book.A * std::pow(meanK, book.alfa) * std::pow(meanL, 1 - book.alfa), meanK, meanL);
    return result;
}

std::string DurbinWatsonConclusion(const ResidualTests& tests)
{
    if (!tests.durbinWatsonP.known())
        return GapText(tests.durbinWatsonP.gap);
    if (tests.durbinWatsonP.value < kLevel)
        return "есть положительная автокорреляция остатков первого порядка";
    return "положительная автокорреляция остатков не обнаружена";
}

std::string BreuschGodfreyConclusion(const ResidualTests& tests)
{
    if (!tests.breuschGodfreyP.known())
        return GapText(tests.breuschGodfreyP.gap);
    if (tests.breuschGodfreyP.value < kLevel)
        return "гипотеза об отсутствии автокорреляции первого порядка отвергается";
    return "гипотеза об отсутствии автокорреляции первого порядка не отвергается";
}

std::string JarqueBeraConclusion(const ResidualTests& tests)
{
    if (!tests.jarqueBeraP.known())
        return GapText(tests.jarqueBeraP.gap);
    if (tests.jarqueBeraP.value < kLevel)
        return "гипотеза о нормальности остатков отвергается";
    return "гипотеза о нормальности остатков не отвергается";
}

std::string ElasticityReading(double alfa, char separator)
{
    return "при росте K на 1 % и неизменном L выпуск " + std::string(alfa < 0 ? "падает" : "растёт")
           + " примерно на " + FormatFixed(std::fabs(alfa), 3, separator) + " %";
}

std::string SharesReading(double alfa, char separator)
{
    if (!(alfa > 0 && alfa < 1))
        return std::string("a вне (0; 1): предельный продукт ") + (alfa <= 0 ? "капитала" : "труда")
               + " не положителен";
    return "капитал " + FormatFixed(100 * alfa, 1, separator) + " %, труд "
           + FormatFixed(100 * (1 - alfa), 1, separator) + " %";
}

std::vector<StatisticsLine> DiagnosticsLines(const Diagnostics& d, char separator)
{
    const auto text = [separator](const Figure& figure, int decimals) {
        return FigureText(figure, decimals, separator);
    };
    const auto pText = [separator](const Figure& figure) { return PValueText(figure, separator); };
    const ResidualTests& tests = d.tests;

    std::vector<StatisticsLine> lines = LevelsFitLines(d.levels, separator);
    lines.push_back({"Остатки регрессии Z = b + a·X", ""});
    lines.push_back({"Статистика Дарбина–Уотсона DW", text(tests.durbinWatson, 4)});
    lines.push_back({"    p-значение DW (против ρ > 0)",
                     tests.durbinWatsonP.known() && tests.durbinWatsonP.value < kSmallestDurbinWatsonP
                         ? "< " + FormatGeneral(kSmallestDurbinWatsonP, separator)
                         : pText(tests.durbinWatsonP)});
    lines.push_back({"    Вывод DW (уровень 5 %)", DurbinWatsonConclusion(tests)});
    lines.push_back({"Тест Бройша–Годфри LM = n·R², χ²(1)", text(tests.breuschGodfrey, 4)});
    lines.push_back({"    p-значение LM", pText(tests.breuschGodfreyP)});
    lines.push_back({"    Вывод LM (уровень 5 %)", BreuschGodfreyConclusion(tests)});
    lines.push_back({"Асимметрия остатков", text(tests.skewness, 4)});
    lines.push_back({"Куртозис остатков", text(tests.kurtosis, 4)});
    lines.push_back({"Тест Жарка–Бера JB, χ²(2)", text(tests.jarqueBera, 4)});
    lines.push_back({"    p-значение JB", pText(tests.jarqueBeraP)});
    lines.push_back({"    Вывод JB (уровень 5 %)", JarqueBeraConclusion(tests)});

    const TrendFit& trend = d.trend;
    lines.push_back({"Технический прогресс: Z = b + a·X + λ·t, t = 1 … n", ""});
    AppendCoefficientLines(lines, "a", trend.a, separator);
    AppendCoefficientLines(lines, "λ", trend.lambda, separator);
    AppendCoefficientLines(lines, "b", trend.b, separator);
    lines.push_back({"R² (с трендом)", text(trend.r2, 6)});
    lines.push_back({"Рост производительности факторов в год, e^λ − 1",
                     trend.productivityGrowth.known() ? text(trend.productivityGrowth, 3) + " %"
                                                      : GapText(trend.productivityGrowth.gap)});

    const auto fixed = [separator](double value) { return FormatFixed(value, 6, separator); };
    lines.push_back({"Предельные продукты: MPK = a·Ŷ/K, MPL = (1 − a)·Ŷ/L", ""});
    lines.push_back(
        {"Эластичность выпуска по капиталу a = " + fixed(d.alfa), ElasticityReading(d.alfa, separator)});
    lines.push_back({"Доли в выпуске при оплате по предельным продуктам", SharesReading(d.alfa, separator)});
    const auto products = [&fixed](const MarginalProducts& point) {
        return "Ŷ = " + fixed(point.fitted) + "; MPK = " + fixed(point.capital)
               + "; MPL = " + fixed(point.labour);
    };
    lines.push_back({"При средних K и L", products(d.atMeans)});
    for (const MarginalProducts& point : d.marginal)
        lines.push_back({"    " + point.label, products(point)});
    return lines;
}

}  // namespace model
