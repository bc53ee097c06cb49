#pragma once

#include "model/statistics.h"

// The 95 % prediction interval of a forecast from the log-linear fit
// Z = b + a·X: for ln(Y/L) at x₀ = ln(K₀/L₀) it is
// ẑ ± t₀.₉₇₅(n − 2)·s·√(1 + 1/n + (x₀ − x̄)²/Sxx), taken back by Y = L₀·e^z.
namespace model {

struct Workbook;

// What a forecast needs of the last estimation.
struct ForecastBasis {
    double alfa = 0;
    double A = 0;
    // Of the log-linear fit: the number of observations, the mean and the
    // centred sum of squares of X, and the standard error of the regression,
    // whose gap is the interval's.
    int n = 0;
    double xMean = 0;
    double sxx = 0;
    Figure s{0, Gap::Undetermined};
};

// alfa and A of the book, and the fit's spread when its statistics are there.
ForecastBasis ForecastBasisOf(const Workbook& book);

struct PredictionInterval {
    Figure low, high;
};

// The interval around `forecast`, the fitted A·k^alfa·l^(1 − alfa): since
// L₀·e^ẑ is the forecast itself, the bounds are forecast·e^(∓half-width).
// Undetermined where k or l is not positive; the basis's gap without a fit.
PredictionInterval Predict(const ForecastBasis& basis, double forecast, double k, double l);

}  // namespace model
