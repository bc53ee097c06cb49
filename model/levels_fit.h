#pragma once

#include "model/statistics.h"

#include <string>
#include <vector>

// Y = A·K^a·L^(1−a) fitted to Y itself by nonlinear least squares. The
// log-linear fit minimises squared errors of ln(Y/L); this one minimises
// Σ (Y − Ŷ)², so the two can be compared.
namespace model {

struct LevelsFit {
    // Why there is no fit, in words: too few observations, data it cannot
    // be fitted to, or iterations that did not converge; empty when it converged.
    std::string failure;
    int iterations = 0;
    Estimate a, A;  // standard errors from s²·(JᵀJ)⁻¹ at the optimum, s² = RSS/(n − 2)
    Figure rss;     // Σ (Y − Ŷ)²
    Figure r2;      // 1 − RSS/Σ (Y − Ȳ)²
    // The same two figures for the log-linear estimates the iterations start from.
    Figure startRss, startR2;

    bool converged() const { return failure.empty(); }
};

// Levenberg–Marquardt (GSL's trust-region solver) on y = A·k^a·l^(1−a) from
// A = `startA` and a = `startAlfa`, the log-linear estimates. Needs three
// rows or more and positive k and l; without them, or when the iterations
// fail, every figure but the start's has a gap and `failure` says why.
LevelsFit FitInLevels(const std::vector<double>& y, const std::vector<double>& k,
                      const std::vector<double>& l, double startA, double startAlfa);

// The statistics page's lines of the fit, beside the log-linear figures it started from.
std::vector<StatisticsLine> LevelsFitLines(const LevelsFit& fit, char separator);

}  // namespace model
