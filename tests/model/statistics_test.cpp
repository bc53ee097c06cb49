#include "model/statistics.h"

#include "model/estimation.h"
#include "model/number_text.h"
#include "model/observation_file.h"
#include "model/workbook.h"
#include "tests/case_name.h"

#include "tests/model/figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace model {
namespace {

using namespace figures;

TEST(Statistics, AgreeWithTheReferenceOnThe1928Data)
{
    const Workbook book = Computed(ReadObservationFile(COBB_EXAMPLES_DIR "/cobb-douglas-1928.txt"));
    const Statistics& s = *book.statistics;
    EXPECT_EQ(s.n, 24);
    // The reference uses full-precision logarithms; these rest on six-decimal ones.
    ExpectFigures({
        {"a", &s.a.value, 0.254134, 1e-6},
        {"se a", &s.a.standardError, 0.041224, 2e-6},
        {"t a", &s.a.t, 6.1648, 1e-3},
        {"p a", &s.a.p, 3.32e-6, 1e-8},
        {"low a", &s.a.low, 0.168642, 2e-6},
        {"high a", &s.a.high, 0.339627, 2e-6},
        {"b", &s.b.value, 0.014545, 1e-6},
        {"se b", &s.b.standardError, 0.019979, 2e-6},
        {"R2", &s.r2, 0.633361, 2e-6},
        {"alpha", &s.alpha.value, 0.233053, 2e-6},
        {"beta", &s.beta.value, 0.807278, 2e-6},
        {"crs F", &s.crsF, 0.195584, 1e-4},
        {"crs p", &s.crsP, 0.662831, 1e-4},
    });
    // The F test of the one slope is the square of its t.
    EXPECT_NEAR(s.f.value, s.a.t.value * s.a.t.value, 1e-3);
    EXPECT_NEAR(s.fP.value, s.a.p.value, 1e-9);

    const std::vector<StatisticsLine> lines = StatisticsLines(s, ',');
    EXPECT_EQ(lines.front().value, "");  // the heading
    EXPECT_EQ(Value(lines, "Число наблюдений"), "24");
    // The page's a is the caption's, written from the same estimate.
    EXPECT_EQ("a=" + Value(lines, "a"), book.aCaption);
    EXPECT_EQ(Value(lines, "    p-значение a"), "3,324E-6");
    EXPECT_EQ(Value(lines, "    95 % доверительный интервал a"), "[0,168641; 0,339626]");
    EXPECT_EQ(Value(lines, "Проверка α + β = 1, F(1; 21)"), "0,1956");
    EXPECT_EQ(Value(lines, "    p-значение проверки"), "0,6628");
    EXPECT_EQ(Value(lines, "Вывод (уровень 5 %)"),
              "гипотеза α + β = 1 не отвергается: отдача от масштаба постоянная");
    EXPECT_EQ(Value(StatisticsLines(s, '.'), "a"), "0.254133");
}

// Ten made-up observations with increasing returns, Y ≈ 2·K^0.3·L^0.9;
// the expected figures are an independent least-squares fit of the same
// six-decimal logarithms, with t and F tail areas from another library.
const std::vector<ObservationLine> kIncreasing = {
    {"193,3", "132,5", "34,2"}, {"215,2", "181,5", "32,3"}, {"188,2", "159,6", "30,4"},
    {"215,4", "60,5", "45,6"},  {"249,3", "74,0", "50,4"},  {"341,7", "177,2", "54,3"},
    {"257,3", "20,9", "89,6"},  {"434,7", "167,8", "73,4"}, {"365,8", "163,5", "59,8"},
    {"460,5", "104,2", "89,1"},
};

TEST(Statistics, AgreeWithAnIndependentFitAndRejectConstantReturns)
{
    const Workbook book = Computed(kIncreasing);
    const Statistics& s = *book.statistics;
    ExpectFigures({
        {"a", &s.a.value, 0.247650, 1e-6},
        {"se a", &s.a.standardError, 0.027726, 1e-6},
        {"t a", &s.a.t, 8.932031, 1e-3},
        {"p a", &s.a.p, 1.95926e-5, 1e-9},
        {"b", &s.b.value, 1.496575, 1e-6},
        {"se b", &s.b.standardError, 0.031647, 1e-6},
        {"t b", &s.b.t, 47.289006, 1e-2},
        {"p b", &s.b.p, 4.42133e-11, 1e-14},
        {"low b", &s.b.low, 1.423596, 1e-6},
        {"high b", &s.b.high, 1.569554, 1e-6},
        {"R2", &s.r2, 0.908864, 1e-6},
        {"adjusted R2", &s.adjustedR2, 0.897472, 1e-6},
        {"F", &s.f, 79.781185, 1e-2},
        {"p F", &s.fP, 1.95926e-5, 1e-9},
        {"s", &s.residualStandardError, 0.078208, 1e-6},
        {"alpha", &s.alpha.value, 0.329652, 1e-6},
        {"se alpha", &s.alpha.standardError, 0.020666, 1e-6},
        {"beta", &s.beta.value, 0.924130, 2e-6},
        {"se beta", &s.beta.standardError, 0.035564, 1e-6},
        {"c", &s.c.value, 0.435017, 2e-6},
        {"se c", &s.c.standardError, 0.204128, 2e-6},
        {"alpha + beta", &s.alphaPlusBeta.value, 1.253783, 2e-6},
        {"se alpha + beta", &s.alphaPlusBeta.standardError, 0.048663, 1e-6},
        {"crs F", &s.crsF, 27.197640, 1e-3},
        {"crs p", &s.crsP, 0.00123236, 1e-8},
        {"mean relative error", &s.meanRelativeError, 6.146995, 1e-4},
    });
    EXPECT_EQ(ConstantReturnsConclusion(s),
              "гипотеза α + β = 1 отвергается: отдача от масштаба возрастающая");
}

TEST(Statistics, DecreasingReturnsAreNamed)
{
    // The square root of the output above: α + β falls to about 0.63.
    std::vector<ObservationLine> lines = kIncreasing;
    for (ObservationLine& line : lines)
        line.output = FormatFixed(std::sqrt(ParseNumber(line.output, ',')), 3, ',');
    const Statistics s = *Computed(lines).statistics;
    ASSERT_TRUE(s.crsP.known());
    EXPECT_LT(s.crsP.value, 0.05);
    EXPECT_LT(s.alphaPlusBeta.value.value, 1);
    EXPECT_EQ(ConstantReturnsConclusion(s), "гипотеза α + β = 1 отвергается: отдача от масштаба убывающая");
}

class StatisticsGaps : public ::testing::TestWithParam<GapCase> {};

TEST_P(StatisticsGaps, LinesSayWhyAFigureIsMissing)
{
    const Workbook book = Computed(GetParam().data);
    const std::vector<StatisticsLine> lines = StatisticsLines(*book.statistics, ',');
    for (const StatisticsLine& expected : GetParam().expected)
        EXPECT_EQ(Value(lines, expected.label), expected.value) << expected.label;
}

INSTANTIATE_TEST_SUITE_P(Statistics, StatisticsGaps,
                         ::testing::Values(
                             // Three observations fix the three unrestricted coefficients exactly
                             // and leave nothing for their errors; the fit of a and b has one
                             // degree of freedom.
                             GapCase{"ThreeObservations",
                                     {{"2", "1", "1"}, {"3,5", "2", "1"}, {"8", "8", "2"}},
                                     {{"    стандартная ошибка a", "0,177452"},
                                      {"    p-значение a", "0,2171"},
                                      {"    95 % доверительный интервал a", "[-1,754738; 2,754738]"},
                                      {"Скорректированный R²", "0,776268"},
                                      {"    t-статистика a", "2,8177"},
                                      {"α", "0,807355"},
                                      {"β", "-0,422066"},
                                      {"c", "0,693147"},
                                      {"    стандартная ошибка α", kTooFew},
                                      {"    стандартная ошибка α + β", kTooFew},
                                      {"Проверка α + β = 1", kTooFew},
                                      {"    p-значение проверки", kTooFew},
                                      {"Вывод (уровень 5 %)", kTooFew},
                                      {"Средняя относительная ошибка |100·(Y − Ŷ)/Y|", "9,320 %"}}},
                             // Two observations give a line through both points and nothing more.
                             GapCase{"TwoObservations",
                                     {{"2", "1", "1"}, {"3,5", "2", "1"}},
                                     {{"a", "0,807355"},
                                      {"    стандартная ошибка a", kTooFew},
                                      {"    t-статистика b", kTooFew},
                                      {"    95 % доверительный интервал b", kTooFew},
                                      {"R² (в логарифмах)", "1,000000"},
                                      {"Скорректированный R²", kTooFew},
                                      {"F-статистика", kTooFew},
                                      {"Стандартная ошибка регрессии", kTooFew},
                                      {"α", kTooFew},
                                      {"Вывод (уровень 5 %)", kTooFew},
                                      {"Средняя относительная ошибка |100·(Y − Ŷ)/Y|", "0,000 %"}}},
                             // With one L throughout, ln L is the constant: α and β cannot be told apart.
                             GapCase{"ConstantLabour",
                                     {{"2", "1", "3"}, {"3,5", "2", "3"}, {"8", "8", "3"}, {"5", "4", "3"}},
                                     {{"    стандартная ошибка a", "0,038194"},
                                      {"α", kUndetermined},
                                      {"    стандартная ошибка β", kUndetermined},
                                      {"Проверка α + β = 1, F(1; 1)", kUndetermined},
                                      {"Вывод (уровень 5 %)", kUndetermined}}},
                             // Y = L in every row: Z is 0 throughout, so R² has nothing to explain,
                             // while the error in levels is still defined.
                             GapCase{"ConstantZ",
                                     {{"1", "1", "1"}, {"2", "4", "2"}, {"3", "27", "3"}},
                                     {{"R² (в логарифмах)", kUndetermined},
                                      {"Скорректированный R²", kUndetermined},
                                      {"F-статистика, F(1; 1)", kUndetermined},
                                      {"Средняя относительная ошибка |100·(Y − Ŷ)/Y|", "0,000 %"}}}),
                         CaseName());

TEST(ComputeWithStatistics, RunsThatDoNotGoThroughLeaveNone)
{
    Workbook book = Computed(kIncreasing);
    book.observations.setCell(ObservationColumn::kK, 4, "");
    EXPECT_FALSE(ComputeWithStatistics(book, ',').complete());
    EXPECT_FALSE(book.statistics.has_value());

    book = Computed(kIncreasing);
    book.observations.setCell(ObservationColumn::kK, 4, "x");
    EXPECT_THROW(ComputeWithStatistics(book, ','), ComputationError);
    EXPECT_FALSE(book.statistics.has_value());
}

TEST(ComputeWithStatistics, ClearAndNewDropThem)
{
    for (void (*command)(Workbook&) : {&ClearCommand, &NewCommand}) {
        Workbook book = Computed(kIncreasing);
        command(book);
        EXPECT_FALSE(book.statistics.has_value());
    }
}

}  // namespace
}  // namespace model
