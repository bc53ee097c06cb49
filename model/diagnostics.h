#pragma once

#include "model/levels_fit.h"
#include "model/statistics.h"

#include <string>
#include <vector>

// Beyond the statistics of the fit Z = b + a·X: the least-squares fit in
// levels, tests of its residuals, the fit with a time trend (technical
// progress) and the marginal products of the fitted function.
namespace model {

struct Workbook;

// Tests of the residuals e = Z − b − a·X in row order.
struct ResidualTests {
    Figure durbinWatson;
    Figure durbinWatsonP;  // P(DW ≤ d) when the errors are independent: the test against ρ > 0
    Figure breuschGodfrey, breuschGodfreyP;  // LM = n·R² of e on X and e₋₁ (e₀ = 0), χ²(1)
    Figure skewness, kurtosis;               // from the residuals' population moments
    Figure jarqueBera, jarqueBeraP;          // n/6·(S² + (K − 3)²/4), χ²(2)
};

// Z = b + a·X + λ·t with t = 1 .. n, i.e. Y = A·e^(λt)·K^a·L^(1−a).
struct TrendFit {
    Coefficient a, lambda, b;
    Figure r2;
    Figure productivityGrowth;  // 100·(e^λ − 1), percent a year
};

// Marginal products of the fitted Y = A·K^a·L^(1−a) at one point.
struct MarginalProducts {
    std::string label;   // the year, or empty for the sample means
    double fitted = 0;   // Ŷ
    double capital = 0;  // MPK = a·Ŷ/K
    double labour = 0;   // MPL = (1 − a)·Ŷ/L
};

struct Diagnostics {
    LevelsFit levels;
    double alfa = 0;
    std::vector<std::string> years;
    std::vector<double> residuals;  // by year
    ResidualTests tests;
    TrendFit trend;
    std::vector<MarginalProducts> marginal;  // by year
    MarginalProducts atMeans;                // at the mean K and L
};

// The diagnostics of the book's estimation. Needs a ComputeCommand that went
// through: reads the X and Z texts of the calculation rows as shown (as
// ComputeStatistics does), the years, Y, K and L of the observations, alfa, A
// and the fitted series.
Diagnostics ComputeDiagnostics(const Workbook& book, char separator);

// The lines the statistics page shows after the statistics' own.
std::vector<StatisticsLine> DiagnosticsLines(const Diagnostics& diagnostics, char separator);

// One-line verdicts at the 5 % level, or the reason there is none.
std::string DurbinWatsonConclusion(const ResidualTests& tests);
std::string BreuschGodfreyConclusion(const ResidualTests& tests);
std::string JarqueBeraConclusion(const ResidualTests& tests);

// What a says as the elasticity of output with respect to capital.
std::string ElasticityReading(double alfa, char separator);

// The shares of capital and labour in output that a gives when each factor
// is paid its marginal product; for a outside (0; 1), why there are none.
std::string SharesReading(double alfa, char separator);

}  // namespace model
