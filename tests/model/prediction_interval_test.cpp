#include "model/prediction_interval.h"

#include "model/estimation.h"
#include "tests/model/figures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace model {
namespace {

using namespace figures;

struct Planned {
    const char* k;
    const char* l;
};

// The forecast window's table with these rows, after "Расчитать" with the book's basis.
struct ForecastRun {
    Table table{ForecastColumn::kCount};
    std::vector<Forecast> forecasts;
};

ForecastRun Forecasted(const Workbook& book, const std::vector<Planned>& rows)
{
    ForecastRun run;
    SetForecastHeaders(run.table);
    std::string count = CountRule(std::to_string(rows.size()), {&run.table});
    for (std::size_t i = 0; i < rows.size(); ++i) {
        run.table.setCell(ForecastColumn::kK, static_cast<int>(i) + 1, rows[i].k);
        run.table.setCell(ForecastColumn::kL, static_cast<int>(i) + 1, rows[i].l);
    }
    run.forecasts = ForecastCommand(run.table, count, ForecastBasisOf(book), ',');
    return run;
}

struct Reference {
    double y, low, high;
};

// Our a and b differ from lm's in the sixth digit (they rest on the
// six-decimal logarithms), so the figures agree to a few millionths.
void ExpectForecasts(const ForecastRun& run, const std::vector<Reference>& references)
{
    ASSERT_EQ(run.forecasts.size(), references.size());
    for (std::size_t i = 0; i < references.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const Forecast& forecast = run.forecasts[i];
        const Reference& reference = references[i];
        EXPECT_NEAR(forecast.y, reference.y, 5e-6 * reference.y);
        ASSERT_TRUE(forecast.interval.low.known() && forecast.interval.high.known());
        EXPECT_NEAR(forecast.interval.low.value, reference.low, 5e-6 * reference.low);
        EXPECT_NEAR(forecast.interval.high.value, reference.high, 5e-6 * reference.high);
    }
}

// The references are R 4.2.2's prediction intervals of the log-linear fit,
// taken back to Y:
//   d <- read.table(file, sep = ":", dec = ",", col.names = c("Y", "K", "L"))
//   m <- lm(z ~ x, data = data.frame(x = log(d$K / d$L), z = log(d$Y / d$L)))
//   exp(predict(m, newdata = data.frame(x = log(k / l)), interval = "prediction", level = 0.95)) * l
TEST(PredictionInterval, AgreesWithRPredictOnTheCobbDouglas1928Data)
{
    const ForecastRun run = Forecasted(Example("cobb-douglas-1928.txt"), {{"450", "170"}, {"200", "130"}});
    ExpectForecasts(
        run, {{220.904334719, 193.866674824, 251.712808000}, {147.165193661, 130.415689706, 166.065864269}});
    // The Part's column as before, the interval beside it.
    EXPECT_EQ(run.table.cell(ForecastColumn::kY, 1), "220,904191");
    EXPECT_EQ(run.table.cell(ForecastColumn::kInterval, 1), "[193,866518; 251,712683]");
}

TEST(PredictionInterval, AgreesWithRPredictOnTheSolow1957Data)
{
    const ForecastRun run = Forecasted(Example("solow-1957.txt"), {{"3,5", "1"}, {"3", "1"}});
    ExpectForecasts(run, {{1.132414745858, 0.739420102616, 1.73428224645},
                          {0.994049259707, 0.662156356065, 1.49229698042}});
}

TEST(PredictionInterval, SaysInWordsWhyThereIsNone)
{
    struct Case {
        const char* name;
        Workbook book;
        Planned row;
        const char* interval;
    };
    const Case cases[] = {
        {"before any estimation", Workbook(), {"4", "9"}, "не определяется"},
        {"two observations",
         Computed({{"2", "1", "1"}, {"3,5", "2", "1"}}),
         {"4", "9"},
         "недостаточно наблюдений"},
        {"no capital",
         Computed({{"2", "1", "1"}, {"3,5", "2", "1"}, {"8", "8", "2"}}),
         {"0", "9"},
         "не определяется"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ForecastRun run = Forecasted(c.book, {c.row});
        ASSERT_EQ(run.forecasts.size(), 1u);
        EXPECT_FALSE(run.forecasts[0].interval.low.known());
        EXPECT_EQ(run.table.cell(ForecastColumn::kInterval, 1), c.interval);
    }
}

}  // namespace
}  // namespace model
