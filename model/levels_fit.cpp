#include "model/levels_fit.h"

#include "model/number_text.h"

#include <gsl/gsl_errno.h>
#include <gsl/gsl_matrix.h>
#include <gsl/gsl_multifit_nlinear.h>
#include <gsl/gsl_vector.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace model {

namespace {

constexpr int kMaxIterations = 200;
// GSL's own suggestion: about the square root of the double epsilon for the
// step, its cube root for the gradient (1e-8 ties steps to 8 digits).
constexpr double kStepTolerance = 1e-10;
constexpr double kGradientTolerance = 1e-10;
// The gradient test, looser, for a solver that stopped finding steps.
constexpr double kStalledGradientTolerance = 1e-8;
// Below this reciprocal condition number of J the two parameters are not
// told apart and their standard errors mean nothing.
constexpr double kSmallestConditionNumber = 1e-12;

struct Data {
    const std::vector<double>& y;
    const std::vector<double>& k;
    const std::vector<double>& l;
};

double Parameter(const gsl_vector* x, std::size_t index)
{
    return gsl_vector_get(x, index);
}

// The parameters are (A, a); f_i = A·k^a·l^(1−a) − y_i = A·l·(k/l)^a − y_i.
int Residuals(const gsl_vector* x, void* data, gsl_vector* f)
{
    const Data& d = *static_cast<const Data*>(data);
    const double A = Parameter(x, 0), a = Parameter(x, 1);
    for (std::size_t i = 0; i < d.y.size(); ++i)
        gsl_vector_set(f, i, A * d.l[i] * std::pow(d.k[i] / d.l[i], a) - d.y[i]);
    return GSL_SUCCESS;
}

// ∂f/∂A = l·(k/l)^a, ∂f/∂a = A·l·(k/l)^a·ln(k/l).
int Jacobian(const gsl_vector* x, void* data, gsl_matrix* j)
{
    const Data& d = *static_cast<const Data*>(data);
    const double A = Parameter(x, 0), a = Parameter(x, 1);
    for (std::size_t i = 0; i < d.y.size(); ++i) {
        const double ratio = d.k[i] / d.l[i];
        const double factor = d.l[i] * std::pow(ratio, a);
        gsl_matrix_set(j, i, 0, factor);
        gsl_matrix_set(j, i, 1, A * factor * std::log(ratio));
    }
    return GSL_SUCCESS;
}

// Σ (y − A·k^a·l^(1−a))².
double SquaredErrors(const Data& d, double A, double a)
{
    double sum = 0;
    for (std::size_t i = 0; i < d.y.size(); ++i) {
        const double error = d.y[i] - A * d.l[i] * std::pow(d.k[i] / d.l[i], a);
        sum += error * error;
    }
    return sum;
}

double TotalSquares(const std::vector<double>& y)
{
    double mean = 0;
    for (double value : y)
        mean += value;
    mean /= static_cast<double>(y.size());
    double sum = 0;
    for (double value : y)
        sum += (value - mean) * (value - mean);
    return sum;
}

Figure RSquared(double rss, double sst)
{
    return sst > 0 ? Known(1 - rss / sst) : Figure{0, Gap::Undetermined};
}

// GSL reports errors through a handler that aborts by default; the solver's
// status codes say all this fit needs.
class QuietErrors {
public:
    QuietErrors() : m_previous(gsl_set_error_handler_off()) {}
    ~QuietErrors() { gsl_set_error_handler(m_previous); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    gsl_error_handler_t* m_previous;
};

struct WorkspaceFree {
    void operator()(gsl_multifit_nlinear_workspace* workspace) const { gsl_multifit_nlinear_free(workspace); }
};
struct MatrixFree {
    void operator()(gsl_matrix* matrix) const { gsl_matrix_free(matrix); }
};

// When no step lowers the sum of squares the solver gives up; that is
// convergence too where the gradient vanishes: an exact fit, or rounding
// stopping the last steps at the minimum. GSL's scaled gradient test,
// ‖g·max(|x|, 1)‖∞ ≤ tolerance·max(½‖f‖², 1), with g = Jᵀf.
bool AtMinimum(const gsl_multifit_nlinear_workspace* workspace)
{
    const gsl_vector* x = gsl_multifit_nlinear_position(workspace);
    const gsl_vector* f = gsl_multifit_nlinear_residual(workspace);
    const gsl_matrix* j = gsl_multifit_nlinear_jac(workspace);
    double half = 0;
    for (std::size_t i = 0; i < f->size; ++i)
        half += gsl_vector_get(f, i) * gsl_vector_get(f, i) / 2;
    for (std::size_t column = 0; column < x->size; ++column) {
        double gradient = 0;
        for (std::size_t i = 0; i < f->size; ++i)
            gradient += gsl_matrix_get(j, i, column) * gsl_vector_get(f, i);
        if (std::fabs(gradient) * std::max(std::fabs(Parameter(x, column)), 1.0)
            > kStalledGradientTolerance * std::max(half, 1.0))
            return false;
    }
    return true;
}

LevelsFit Failed(LevelsFit fit, Gap gap, std::string failure)
{
    fit.failure = std::move(failure);
    fit.a.value = fit.a.standardError = fit.A.value = fit.A.standardError = fit.rss = fit.r2 = Figure{0, gap};
    return fit;
}

std::string NotConverged(bool stalled, int iterations)
{
    if (!stalled)
        return "не сошлись за " + std::to_string(iterations) + " итераций";
    return "не сошлись: ни один шаг не уменьшает сумму квадратов остатков";
}

}  // namespace

LevelsFit FitInLevels(const std::vector<double>& y, const std::vector<double>& k,
                      const std::vector<double>& l, double startA, double startAlfa)
{
    LevelsFit fit;
    const std::size_t n = y.size();
    // Two rows fix the two parameters and leave nothing to estimate their errors from.
    if (n < 3)
        return Failed(fit, Gap::TooFewObservations, "недостаточно наблюдений: нужно не меньше трёх");
    const auto positive = [](double value) { return value > 0; };
    if (!std::all_of(k.begin(), k.end(), positive) || !std::all_of(l.begin(), l.end(), positive))
        return Failed(fit, Gap::Undetermined, "не определяется: K и L должны быть положительны");

    Data data{y, k, l};
    const double sst = TotalSquares(y);
    fit.startRss = Known(SquaredErrors(data, startA, startAlfa));
    fit.startR2 = fit.startRss.known() ? RSquared(fit.startRss.value, sst) : fit.startRss;

    const QuietErrors quiet;
    gsl_multifit_nlinear_fdf fdf{};
    fdf.f = Residuals;
    fdf.df = Jacobian;
    fdf.n = n;
    fdf.p = 2;
    fdf.params = &data;
    gsl_multifit_nlinear_parameters parameters = gsl_multifit_nlinear_default_parameters();
    parameters.trs = gsl_multifit_nlinear_trs_lm;
    const std::unique_ptr<gsl_multifit_nlinear_workspace, WorkspaceFree> workspace(
        gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &parameters, n, 2));
    double start[] = {startA, startAlfa};
    const gsl_vector_view startView = gsl_vector_view_array(start, 2);
    int status = gsl_multifit_nlinear_init(&startView.vector, &fdf, workspace.get());
    int info = 0;
    if (status == GSL_SUCCESS)
        status = gsl_multifit_nlinear_driver(kMaxIterations, kStepTolerance, kGradientTolerance, 0, nullptr,
                                             nullptr, &info, workspace.get());
    fit.iterations = static_cast<int>(gsl_multifit_nlinear_niter(workspace.get()));

    const gsl_vector* x = gsl_multifit_nlinear_position(workspace.get());
    const double A = Parameter(x, 0), a = Parameter(x, 1);
    const double rss = SquaredErrors(data, A, a);
    const bool stalled = status == GSL_ENOPROG || (status == GSL_EMAXITER && info == GSL_ENOPROG);
    if (status != GSL_SUCCESS && !(stalled && AtMinimum(workspace.get())))
        return Failed(fit, Gap::NotConverged, NotConverged(stalled, fit.iterations));
    // Parameters run off to where k^a overflows: the sum of squares falls without a minimum.
    if (!std::isfinite(A) || !std::isfinite(a) || !std::isfinite(rss))
        return Failed(fit, Gap::NotConverged, "не сошлись: параметры уходят в бесконечность");

    fit.a.value = Known(a);
    fit.A.value = Known(A);
    fit.rss = Known(rss);
    fit.r2 = RSquared(rss, sst);

    double conditionNumber = 0;
    gsl_multifit_nlinear_rcond(&conditionNumber, workspace.get());
    if (!(conditionNumber > kSmallestConditionNumber)) {
        fit.a.standardError = fit.A.standardError = Figure{0, Gap::Undetermined};
        return fit;
    }
    const std::unique_ptr<gsl_matrix, MatrixFree> covariance(gsl_matrix_alloc(2, 2));
    gsl_multifit_nlinear_covar(gsl_multifit_nlinear_jac(workspace.get()), 0, covariance.get());
    const double variance = rss / static_cast<double>(n - 2);
    fit.A.standardError = Known(std::sqrt(variance * gsl_matrix_get(covariance.get(), 0, 0)));
    fit.a.standardError = Known(std::sqrt(variance * gsl_matrix_get(covariance.get(), 1, 1)));
    return fit;
}

std::vector<StatisticsLine> LevelsFitLines(const LevelsFit& fit, char separator)
{
    const auto text = [separator](const Figure& figure, int decimals) {
        return FigureText(figure, decimals, separator);
    };
    std::vector<StatisticsLine> lines;
    lines.push_back({"МНК в уровнях: Y = A·K^a·L^(1−a), метод Левенберга–Марквардта", ""});
    lines.push_back({"Итерации от оценок в логарифмах",
                     fit.converged() ? "сошлись, итераций: " + std::to_string(fit.iterations) : fit.failure});
    lines.push_back({"a (в уровнях)", text(fit.a.value, 6)});
    lines.push_back({"    стандартная ошибка a (в уровнях)", text(fit.a.standardError, 6)});
    lines.push_back({"A (в уровнях)", text(fit.A.value, 6)});
    lines.push_back({"    стандартная ошибка A (в уровнях)", text(fit.A.standardError, 6)});
    lines.push_back({"Сумма квадратов остатков Σ(Y − Ŷ)² (в уровнях)", text(fit.rss, 6)});
    lines.push_back({"    у оценок в логарифмах", text(fit.startRss, 6)});
    lines.push_back({"R² в уровнях", text(fit.r2, 6)});
    lines.push_back({"    у оценок в логарифмах", text(fit.startR2, 6)});
    return lines;
}

}  // namespace model
