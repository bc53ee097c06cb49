#pragma once

// The value axis of a chart: round limits and a round step that cover the
// plotted values. It depends on the values only, so the same data always
// give the same axis.
namespace model {

struct ChartScale {
    double minimum;
    double maximum;
    int tickCount;  // grid lines, both limits included
};

// At most maxIntervals steps of 1, 2, 2.5 or 5 times a power of ten between
// limits that are whole multiples of the step. Equal or empty-range values
// get an axis around them; non-finite values give 0 .. 1.
ChartScale NiceChartScale(double low, double high, int maxIntervals = 5);

}  // namespace model
