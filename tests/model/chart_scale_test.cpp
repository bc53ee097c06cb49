#include "model/chart_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(ChartScaleTest, RoundLimitsAndStepCoverTheValues)
{
    struct Case {
        double low, high;
        model::ChartScale expected;
    };
    const Case cases[] = {
        {100, 231.7, {100, 250, 4}},                         // the 1928 output: steps of 50
        {0.2, 0.9, {0.2, 1.0, 5}},   {-3, 7, {-5, 7.5, 6}},  // steps of 2 would need six intervals
        {231.7, 100, {100, 250, 4}}, {5, 5, {4.5, 5.5, 5}},  // one value: an axis around it
        {0, 0, {-1, 1, 5}},          {std::numeric_limits<double>::quiet_NaN(), 1, {0, 1, 2}},
    };
    for (const Case& test : cases) {
        const model::ChartScale scale = model::NiceChartScale(test.low, test.high);
        EXPECT_DOUBLE_EQ(scale.minimum, test.expected.minimum) << test.low << " .. " << test.high;
        EXPECT_DOUBLE_EQ(scale.maximum, test.expected.maximum) << test.low << " .. " << test.high;
        EXPECT_EQ(scale.tickCount, test.expected.tickCount) << test.low << " .. " << test.high;
    }
}

TEST(ChartScaleTest, AnyRangeGetsAtMostFiveRoundStepsAroundIt)
{
    for (double low = -1000; low < 1000; low += 37.3) {
        for (double span : {0.013, 0.7, 9.9, 131.7, 2500.0, 98765.0}) {
            const double high = low + span;
            const model::ChartScale scale = model::NiceChartScale(low, high);
            // Limits a rounding error inside the values still count as covering them.
            const double slack = 1e-9 * span;
            ASSERT_LE(scale.minimum, low + slack);
            ASSERT_GE(scale.maximum, high - slack);
            ASSERT_GE(scale.tickCount, 2);
            ASSERT_LE(scale.tickCount, 6);
            const double step = (scale.maximum - scale.minimum) / (scale.tickCount - 1);
            const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
            EXPECT_TRUE(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9
                        || std::abs(mantissa - 2.5) < 1e-9 || std::abs(mantissa - 5) < 1e-9)
                << low << " + " << span << ": step " << step;
            // The limits are whole steps, and no whole step could be dropped.
            const double steps = scale.minimum / step;
            EXPECT_NEAR(steps, std::round(steps), 1e-6 + 1e-9 * std::abs(steps)) << low << " + " << span;
            EXPECT_GT(scale.minimum + step, low);
            EXPECT_LT(scale.maximum - step, high);
        }
    }
}

}  // namespace
