#include "model/diagnostics.h"

#include "model/estimation.h"
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

void ExpectProducts(const MarginalProducts& actual, double fitted, double capital, double labour)
{
    EXPECT_NEAR(actual.fitted, fitted, 1e-8 * fitted);
    EXPECT_NEAR(actual.capital, capital, 1e-8 * capital);
    EXPECT_NEAR(actual.labour, labour, 1e-8 * labour);
}

// The references are R 4.2 with lmtest 0.9, on full-precision logarithms
// (ours rest on the six-decimal ones the calculation table shows):
//   d <- read.table(file, sep = ":", dec = ",", col.names = c("Y", "K", "L"))
//   x <- log(d$K / d$L); z <- log(d$Y / d$L); t <- seq_len(nrow(d)); m <- lm(z ~ x)
//   dwtest(m)                                  # exact p, alternative ρ > 0
//   bgtest(m, order = 1, type = "Chisq", fill = 0)
//   e <- residuals(m); u <- e - mean(e); S <- mean(u^3) / mean(u^2)^1.5; K <- mean(u^4) / mean(u^2)^2
//   JB <- nrow(d) / 6 * (S^2 + (K - 3)^2 / 4); pchisq(JB, 2, lower.tail = FALSE)
//   summary(lm(z ~ x + t)); confint(lm(z ~ x + t))
// The marginal products are of the program's own fitted function, so R is
// given its a and A (--json's "alfa" and "A"), which differ from lm's in the
// sixth digit:
//   yhat <- A * d$K^a * d$L^(1 - a); a * yhat / d$K; (1 - a) * yhat / d$L
//   yhat <- A * mean(d$K)^a * mean(d$L)^(1 - a); a * yhat / mean(d$K); (1 - a) * yhat / mean(d$L)
TEST(Diagnostics, AgreeWithROnTheCobbDouglas1928Data)
{
    const Workbook book = Example("cobb-douglas-1928.txt");
    const Diagnostics& d = *book.diagnostics;
    const ResidualTests& r = d.tests;
    const TrendFit& t = d.trend;
    ExpectFigures({
        {"DW", &r.durbinWatson, 1.616389807, 5e-5},
        {"DW p", &r.durbinWatsonP, 0.1170543728, 2e-5},
        {"BG", &r.breuschGodfrey, 0.1423855232, 5e-5},
        {"BG p", &r.breuschGodfreyP, 0.7059209028, 5e-5},
        {"skewness", &r.skewness, 0.451498776, 5e-5},
        {"kurtosis", &r.kurtosis, 2.707505688, 5e-5},
        {"JB", &r.jarqueBera, 0.9009575017, 5e-5},
        {"JB p", &r.jarqueBeraP, 0.6373229597, 5e-5},
        {"trend a", &t.a.value, 0.108681007499, 2e-5},
        {"trend se a", &t.a.standardError, 0.149653290631, 2e-5},
        {"trend t a", &t.a.t, 0.7262186287, 1e-4},
        {"trend p a", &t.a.p, 0.4757218504, 1e-4},
        {"trend low a", &t.a.low, -0.202540047607, 5e-5},
        {"trend high a", &t.a.high, 0.41990206261, 5e-5},
        {"lambda", &t.lambda.value, 0.006176191056, 1e-6},
        {"se lambda", &t.lambda.standardError, 0.006108946411, 1e-6},
        {"t lambda", &t.lambda.t, 1.0110075683, 1e-4},
        {"p lambda", &t.lambda.p, 0.3235206411, 1e-4},
        {"low lambda", &t.lambda.low, -0.006528058478, 2e-6},
        {"high lambda", &t.lambda.high, 0.01888044059, 2e-6},
        {"trend b", &t.b.value, -0.005384043305, 1e-5},
        {"trend se b", &t.b.standardError, 0.028059247538, 1e-5},
        {"trend p b", &t.b.p, 0.8496785078, 1e-4},
        {"trend R2", &t.r2, 0.6503778149, 1e-5},
        {"TFP growth", &t.productivityGrowth, 0.619530305, 1e-4},
    });
    ASSERT_EQ(d.marginal.size(), 24u);
    EXPECT_EQ(d.marginal.front().label, "1");
    // a = 0.25413315436796485, A = 1.0146512354451467.
    ExpectProducts(d.marginal.front(), 101.4651235, 0.2578565190, 0.7567947164);
    ExpectProducts(d.marginal.back(), 209.808492, 0.1237106587, 0.971982597);
    ExpectProducts(d.atMeans, 166.8584305, 0.1810858047, 0.8536439295);

    const std::vector<StatisticsLine> lines = DiagnosticsLines(d, ',');
    EXPECT_EQ(Value(lines, "Статистика Дарбина–Уотсона DW"), "1,6164");
    EXPECT_EQ(Value(lines, "    p-значение DW (против ρ > 0)"), "0,1171");
    EXPECT_EQ(Value(lines, "    Вывод DW (уровень 5 %)"),
              "положительная автокорреляция остатков не обнаружена");
    EXPECT_EQ(Value(lines, "    Вывод LM (уровень 5 %)"),
              "гипотеза об отсутствии автокорреляции первого порядка не отвергается");
    EXPECT_EQ(Value(lines, "    Вывод JB (уровень 5 %)"), "гипотеза о нормальности остатков не отвергается");
    EXPECT_EQ(Value(lines, "λ"), "0,006176");
    EXPECT_EQ(Value(lines, "Рост производительности факторов в год, e^λ − 1"), "0,620 %");
    EXPECT_EQ(Value(lines, "Эластичность выпуска по капиталу a = 0,254133"),
              "при росте K на 1 % и неизменном L выпуск растёт примерно на 0,254 %");
    EXPECT_EQ(Value(lines, "Доли в выпуске при оплате по предельным продуктам"),
              "капитал 25,4 %, труд 74,6 %");
    EXPECT_EQ(Value(lines, "При средних K и L"), "Ŷ = 166,858430; MPK = 0,181086; MPL = 0,853644");
    EXPECT_EQ(Value(lines, "    24"), "Ŷ = 209,808492; MPK = 0,123711; MPL = 0,971983");
}

// Solow's series has L = 1, so X = ln K and Z = ln Y; the same R commands.
TEST(Diagnostics, AgreeWithROnTheSolow1957DataAndRejectWhereItDoes)
{
    const Workbook book = Example("solow-1957.txt");
    const Diagnostics& d = *book.diagnostics;
    const ResidualTests& r = d.tests;
    const TrendFit& t = d.trend;
    ExpectFigures({
        {"DW", &r.durbinWatson, 0.05055691042, 1e-5},
        {"BG", &r.breuschGodfrey, 38.43167911, 1e-4},
        {"BG p", &r.breuschGodfreyP, 5.670441537e-10, 1e-14},
        {"skewness", &r.skewness, 0.8590320237, 5e-5},
        {"kurtosis", &r.kurtosis, 2.16286982, 5e-5},
        {"JB", &r.jarqueBera, 6.239740475, 5e-4},
        {"JB p", &r.jarqueBeraP, 0.04416289873, 2e-5},
        {"trend a", &t.a.value, -0.08108273397, 2e-5},
        {"trend se a", &t.a.standardError, 0.0553676802510, 1e-5},
        {"trend p a", &t.a.p, 0.1512980233, 1e-4},
        {"lambda", &t.lambda.value, 0.01855373218, 1e-6},
        {"se lambda", &t.lambda.standardError, 0.0005784173002, 1e-7},
        {"t lambda", &t.lambda.t, 32.076724154, 5e-3},
        {"low lambda", &t.lambda.low, 0.01738278758, 1e-6},
        {"high lambda", &t.lambda.high, 0.01972467679, 1e-6},
        {"trend b", &t.b.value, -0.43503040699, 2e-5},
        {"trend se b", &t.b.standardError, 0.0482986575158, 1e-5},
        {"trend R2", &t.r2, 0.9726072941, 1e-5},
        {"TFP growth", &t.productivityGrowth, 1.872692212, 1e-4},
    });
    // R's exact p is 7.6e-31: far below what the integral resolves.
    ASSERT_TRUE(r.durbinWatsonP.known());
    EXPECT_LT(r.durbinWatsonP.value, 1e-10);
    ASSERT_TRUE(t.lambda.p.known());
    EXPECT_LT(t.lambda.p.value, 1e-20);  // R: 3.96e-29
    ASSERT_EQ(d.marginal.size(), 41u);
    // a = 0.8454182186170957, A = 0.3926822851443515.
    ExpectProducts(d.marginal.front(), 0.7234197746, 0.2968894452, 0.1118275174);
    ExpectProducts(d.marginal.back(), 0.9093353925, 0.284729151, 0.1405666848);
    ExpectProducts(d.atMeans, 0.8897823634, 0.2858630739, 0.1375441428);

    const std::vector<StatisticsLine> lines = DiagnosticsLines(d, ',');
    EXPECT_EQ(Value(lines, "    p-значение DW (против ρ > 0)"), "< 1E-10");
    EXPECT_EQ(Value(lines, "    Вывод DW (уровень 5 %)"),
              "есть положительная автокорреляция остатков первого порядка");
    EXPECT_EQ(Value(lines, "    Вывод LM (уровень 5 %)"),
              "гипотеза об отсутствии автокорреляции первого порядка отвергается");
    EXPECT_EQ(Value(lines, "    Вывод JB (уровень 5 %)"), "гипотеза о нормальности остатков отвергается");
    EXPECT_EQ(Value(lines, "Рост производительности факторов в год, e^λ − 1"), "1,873 %");
}

class DiagnosticsGaps : public ::testing::TestWithParam<GapCase> {};

TEST_P(DiagnosticsGaps, LinesSayWhyAFigureIsMissing)
{
    const Workbook book = Computed(GetParam().data);
    const std::vector<StatisticsLine> lines = DiagnosticsLines(*book.diagnostics, ',');
    for (const StatisticsLine& expected : GetParam().expected)
        EXPECT_EQ(Value(lines, expected.label), expected.value) << expected.label;
}

INSTANTIATE_TEST_SUITE_P(
    Diagnostics, DiagnosticsGaps,
    ::testing::Values(
        // Two points: the line goes through both and leaves no residual.
        GapCase{"TwoObservations",
                {{"2", "1", "1"}, {"3,5", "2", "1"}},
                {{"Статистика Дарбина–Уотсона DW", kTooFew},
                 {"    Вывод LM (уровень 5 %)", kTooFew},
                 {"Тест Жарка–Бера JB, χ²(2)", kTooFew},
                 {"λ", kTooFew},
                 {"При средних K и L", "Ŷ = 2,774586; MPK = 1,493384; MPL = 0,534510"}}},
        // Three points fix the three trend coefficients and nothing more;
        // the auxiliary regression of the LM test has three too.
        GapCase{"ThreeObservations",
                {{"2", "1", "1"}, {"3,5", "2", "1"}, {"8", "8", "2"}},
                {{"Статистика Дарбина–Уотсона DW", "3,0000"},
                 {"Тест Бройша–Годфри LM = n·R², χ²(1)", kTooFew},
                 {"a", kTooFew},
                 {"    стандартная ошибка λ", kTooFew},
                 {"R² (с трендом)", kTooFew},
                 {"Рост производительности факторов в год, e^λ − 1", kTooFew}}},
        // Y = K^0.5·L^0.5 exactly: the residuals are rounding only.
        GapCase{"ExactFit",
                {{"2", "4", "1"}, {"6", "9", "4"}, {"4", "16", "1"}, {"10", "25", "4"}, {"15", "9", "25"}},
                {{"Статистика Дарбина–Уотсона DW", kUndetermined},
                 {"    Вывод DW (уровень 5 %)", kUndetermined},
                 {"    p-значение LM", kUndetermined},
                 {"Куртозис остатков", kUndetermined},
                 {"    Вывод JB (уровень 5 %)", kUndetermined}}},
        // X = 0, 1, 2, 3 lies on the trend t − 1: a and λ cannot be told apart.
        GapCase{"CapitalOnTheTrend",
                {{"1", "1", "1"}, {"2", "2,718282", "1"}, {"2,5", "7,389056", "1"}, {"5", "20,085537", "1"}},
                {{"a", kUndetermined},
                 {"    p-значение λ", kUndetermined},
                 {"R² (с трендом)", kUndetermined},
                 {"Рост производительности факторов в год, e^λ − 1", kUndetermined}}}),
    CaseName());

TEST(Diagnostics, ReadingsOfANameTheSignAndTheFactorWithoutAPositiveProduct)
{
    struct Case {
        double alfa;
        const char* elasticity;
        const char* shares;
    };
    for (const Case& c : {
             Case{0.254133, "при росте K на 1 % и неизменном L выпуск растёт примерно на 0,254 %",
                  "капитал 25,4 %, труд 74,6 %"},
             Case{-0.2, "при росте K на 1 % и неизменном L выпуск падает примерно на 0,200 %",
                  "a вне (0; 1): предельный продукт капитала не положителен"},
             Case{1.3, "при росте K на 1 % и неизменном L выпуск растёт примерно на 1,300 %",
                  "a вне (0; 1): предельный продукт труда не положителен"},
         }) {
        EXPECT_EQ(ElasticityReading(c.alfa, ','), c.elasticity);
        EXPECT_EQ(SharesReading(c.alfa, ','), c.shares);
    }
}

TEST(Diagnostics, GoWithTheStatistics)
{
    Workbook book = Example("cobb-douglas-1928.txt");
    book.observations.setCell(ObservationColumn::kK, 4, "");
    EXPECT_FALSE(ComputeWithStatistics(book, ',').complete());
    EXPECT_FALSE(book.diagnostics.has_value());

    book = Example("cobb-douglas-1928.txt");
    ClearCommand(book);
    EXPECT_FALSE(book.diagnostics.has_value());
}

}  // namespace
}  // namespace model
