#include "model/levels_fit.h"

#include "model/diagnostics.h"
#include "tests/model/figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace model {
namespace {

using namespace figures;

// The references are R 4.2.2's nls (Gauss–Newton; the optimum does not
// depend on the method) from lm's log-linear estimates:
//   d <- read.table(file, sep = ":", dec = ",", col.names = c("Y", "K", "L"))
//   m <- lm(log(Y / L) ~ log(K / L), data = d)
//   f <- nls(Y ~ A * K^a * L^(1 - a), data = d, start = list(A = exp(coef(m)[[1]]), a = coef(m)[[2]]),
//            control = nls.control(tol = 1e-7))
//   summary(f)$coefficients; deviance(f); 1 - deviance(f) / sum((d$Y - mean(d$Y))^2)
// and, for the start, the program's own a and A (--json's "alfa" and "A"):
//   rss <- sum((d$Y - A * d$K^a * d$L^(1 - a))^2); 1 - rss / sum((d$Y - mean(d$Y))^2)
TEST(LevelsFit, AgreesWithRNlsOnTheCobbDouglas1928Data)
{
    const LevelsFit fit = Example("cobb-douglas-1928.txt").diagnostics.value().levels;
    ASSERT_TRUE(fit.converged()) << fit.failure;
    ExpectFigures({
        {"a", &fit.a.value, 0.249617460789, 1e-7},
        {"se a", &fit.a.standardError, 0.0480280881143, 1e-8},
        {"A", &fit.A.value, 1.018213550784, 1e-7},
        {"se A", &fit.A.standardError, 0.0280846435047, 1e-8},
        {"RSS", &fit.rss, 2564.64851372, 1e-6},
        {"R2", &fit.r2, 0.941752027669, 1e-10},
        // a = 0.25413315436796485, A = 1.0146512354451467.
        {"start RSS", &fit.startRss, 2566.69846492, 1e-6},
        {"start R2", &fit.startR2, 0.941705469437, 1e-10},
    });

    const std::vector<StatisticsLine> lines = LevelsFitLines(fit, ',');
    EXPECT_EQ(Value(lines, "a (в уровнях)"), "0,249617");
    EXPECT_EQ(Value(lines, "    стандартная ошибка A (в уровнях)"), "0,028085");
    EXPECT_EQ(Value(lines, "Сумма квадратов остатков Σ(Y − Ŷ)² (в уровнях)"), "2564,648514");
    EXPECT_EQ(Value(lines, "R² в уровнях"), "0,941752");
}

// Solow's series has L = 1: Y = A·K^a. Its sum of squares is flat along
// a ridge, so R's last steps still move a in the seventh digit.
TEST(LevelsFit, AgreesWithRNlsOnTheSolow1957Data)
{
    const LevelsFit fit = Example("solow-1957.txt").diagnostics.value().levels;
    ASSERT_TRUE(fit.converged()) << fit.failure;
    ExpectFigures({
        {"a", &fit.a.value, 0.628149159739, 2e-6},
        {"se a", &fit.a.standardError, 0.263487938614, 2e-7},
        {"A", &fit.A.value, 0.494104764743, 2e-6},
        {"se A", &fit.A.standardError, 0.128470329139, 2e-7},
        {"RSS", &fit.rss, 1.39105602339, 1e-10},
        {"R2", &fit.r2, 0.143251062964, 1e-9},
        // a = 0.8454182186170957, A = 0.3926822851443515.
        {"start RSS", &fit.startRss, 1.42717610853, 1e-10},
        {"start R2", &fit.startR2, 0.121004766607, 1e-9},
    });
}

TEST(LevelsFit, AnExactFitConvergesWhereItStarts)
{
    // Y = 2·K^0.25·L^0.75.
    const std::vector<double> k{1, 16, 81, 16}, l{1, 1, 16, 81};
    std::vector<double> y;
    for (std::size_t i = 0; i < k.size(); ++i)
        y.push_back(2 * std::pow(k[i], 0.25) * std::pow(l[i], 0.75));
    const LevelsFit fit = FitInLevels(y, k, l, 2, 0.25);
    ASSERT_TRUE(fit.converged()) << fit.failure;
    ExpectFigures({
        {"a", &fit.a.value, 0.25, 1e-12},
        {"A", &fit.A.value, 2, 1e-12},
        {"se a", &fit.a.standardError, 0, 1e-10},
        {"RSS", &fit.rss, 0, 1e-20},
        {"R2", &fit.r2, 1, 1e-15},
    });
}

// Where there is no fit, every line says why in words and none shows a number.
TEST(LevelsFit, SaysInWordsWhyThereIsNoFit)
{
    struct Case {
        const char* name;
        std::vector<double> y, k, l;
        double startA, startAlfa;
        std::string iterations;  // the line of the iterations
        std::string figures;     // every figure's text
    };
    const Case cases[] = {
        {"two rows",
         {2, 3},
         {1, 2},
         {1, 1},
         2,
         0.58,
         "недостаточно наблюдений: нужно не меньше трёх",
         "недостаточно наблюдений"},
        {"a negative capital",
         {2, 3, 4},
         {1, -2, 3},
         {1, 1, 1},
         2,
         0.5,
         "не определяется: K и L должны быть положительны",
         "не определяется"},
        // Every point but the last is almost 0: the sum of squares keeps
        // falling as a grows, towards a limit it never reaches.
        {"no minimum",
         {1e-12, 1e-12, 1e-12, 5},
         {1, 2, 3, 4},
         {1, 1, 1, 1},
         1e-9,
         16,
         "не сошлись",
         "итерации не сошлись"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LevelsFit fit = FitInLevels(c.y, c.k, c.l, c.startA, c.startAlfa);
        EXPECT_FALSE(fit.converged());
        const std::vector<StatisticsLine> lines = LevelsFitLines(fit, ',');
        EXPECT_EQ(Value(lines, "Итерации от оценок в логарифмах").rfind(c.iterations, 0), 0u)
            << Value(lines, "Итерации от оценок в логарифмах");
        for (const char* label : {"a (в уровнях)", "    стандартная ошибка a (в уровнях)", "A (в уровнях)",
                                  "    стандартная ошибка A (в уровнях)",
                                  "Сумма квадратов остатков Σ(Y − Ŷ)² (в уровнях)", "R² в уровнях"})
            EXPECT_EQ(Value(lines, label), c.figures) << label;
    }
}

}  // namespace
}  // namespace model
