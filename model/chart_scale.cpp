#include "model/chart_scale.h"

#include <algorithm>
#include <cmath>

namespace model {

namespace {

// The smallest of 1, 2, 2.5, 5 and 10 times a power of ten that is at least span.
double RoundStep(double span)
{
    const double power = std::pow(10.0, std::floor(std::log10(span)));
    for (const double factor : {1.0, 2.0, 2.5, 5.0})
        if (factor * power >= span * (1 - 1e-12))
            return factor * power;
    return 10 * power;
}

}  // namespace

ChartScale NiceChartScale(double low, double high, int maxIntervals)
{
    if (!std::isfinite(low) || !std::isfinite(high))
        return {0, 1, 2};
    if (low > high)
        std::swap(low, high);
    if (high == low) {
        // One value: an axis one unit (or a tenth of the value) either side.
        const double margin = low == 0 ? 1 : std::abs(low) / 10;
        low -= margin;
        high += margin;
    }
    maxIntervals = std::max(1, maxIntervals);
    double step = RoundStep((high - low) / maxIntervals);
    // Rounding the limits outwards may need one step more than allowed: take the next round step.
    for (;;) {
        const double minimum = std::floor(low / step + 1e-9) * step;
        const double maximum = std::ceil(high / step - 1e-9) * step;
        const int intervals = static_cast<int>(std::lround((maximum - minimum) / step));
        if (intervals <= maxIntervals)
            return {minimum, maximum, intervals + 1};
        step = RoundStep(step * 1.0000001);
    }
}

}  // namespace model
