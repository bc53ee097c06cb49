#include "model/prediction_interval.h"

#include "model/workbook.h"

#include <boost/math/distributions/students_t.hpp>

#include <cmath>

namespace model {

ForecastBasis ForecastBasisOf(const Workbook& book)
{
    ForecastBasis basis;
    basis.alfa = book.alfa;
    basis.A = book.A;
    if (book.statistics) {
        basis.n = book.statistics->n;
        basis.xMean = book.statistics->xMean;
        basis.sxx = book.statistics->sxx;
        basis.s = book.statistics->residualStandardError;
    }
    return basis;
}

PredictionInterval Predict(const ForecastBasis& basis, double forecast, double k, double l)
{
    if (!basis.s.known())
        return {basis.s, basis.s};
    if (!(k > 0 && l > 0 && basis.sxx > 0)) {
        const Figure undetermined{0, Gap::Undetermined};
        return {undetermined, undetermined};
    }
    const double x = std::log(k / l);
    const boost::math::students_t distribution(basis.n - 2);
    const double t = boost::math::quantile(boost::math::complement(distribution, 0.025));
    const double half =
        t * basis.s.value * std::sqrt(1 + 1.0 / basis.n + (x - basis.xMean) * (x - basis.xMean) / basis.sxx);
    return {Known(forecast * std::exp(-half)), Known(forecast * std::exp(half))};
}

}  // namespace model
