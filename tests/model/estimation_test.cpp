#include "model/estimation.h"

#include "model/number_text.h"
#include "model/table.h"
#include "model/workbook.h"
#include "tests/case_name.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace model {
namespace {

struct Observation {
    std::string y, k, l;
};

using Rows = std::vector<std::vector<std::string>>;

// The book with the observations typed in as a user would: count first.
void Load(Workbook& book, const std::vector<Observation>& data)
{
    SetCountText(book, std::to_string(data.size()));
    for (std::size_t i = 0; i < data.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        book.observations.setCell(ObservationColumn::kY, row, data[i].y);
        book.observations.setCell(ObservationColumn::kK, row, data[i].k);
        book.observations.setCell(ObservationColumn::kL, row, data[i].l);
    }
}

Rows DataRows(const Table& table)
{
    Rows rows;
    for (int row = 1; row < table.rowCount(); ++row) {
        rows.emplace_back();
        for (int column = 0; column < table.columnCount(); ++column)
            rows.back().push_back(table.cell(column, row));
    }
    return rows;
}

int SumRows(const Table& calculation)
{
    int count = 0;
    for (int row = 1; row < calculation.rowCount(); ++row)
        count += calculation.cell(CalculationColumn::kYear, row) == "Sum";
    return count;
}

// Logarithms of small ratios: X = 0, ln 2, ln 4; Z = ln 2, ln 3.5, ln 4.
const std::vector<Observation> kSmall = {{"2", "1", "1"}, {"3,5", "2", "1"}, {"8", "8", "2"}};

// Worked out by hand from the six-decimal logarithms, every value parsed
// back from the rounded text before it is used.
const Rows kSmallCalculation = {
    {"1", "0,000000", "0,693147", "0,000000", "0,000000", "0,764161", "-0,071014", "0,480453", "10,245157"},
    {"2", "0,693147", "1,252763", "0,868349", "0,480453", "1,110735", "0,142028", "1,569415", "11,337180"},
    {"3", "1,386294", "1,386294", "1,921811", "1,921811", "1,457308", "-0,071014", "1,921811", "5,122579"},
    {"Sum", "2,079441", "3,332204", "2,790160", "2,402264", "3,332204", "0", "3,971679", "26,704916"},
};

class EstimationTest : public ::testing::Test {
protected:
    ComputeOutcome compute() { return ComputeCommand(m_book, ','); }

    Workbook m_book;
};

TEST_F(EstimationTest, SmallDataSetFillsEveryColumnAndCaption)
{
    Load(m_book, kSmall);
    EXPECT_TRUE(compute().complete());

    EXPECT_EQ(DataRows(m_book.calculation), kSmallCalculation);
    EXPECT_EQ(m_book.aCaption, "a=0,500000");
    EXPECT_EQ(m_book.ACaption, "A=2,147193");
    EXPECT_EQ(m_book.bCaption, "b=0,7642");
    EXPECT_EQ(m_book.formula, "Y=2,147193*(K^0,500000)*(L^0,500000)");
    EXPECT_EQ(m_book.meanErrorCaption, "Aср=8,902 %");
    EXPECT_EQ(m_book.r2Caption, "R2= 97,010 %");
    EXPECT_NEAR(m_book.alfa, 0.4999999, 1e-6);
    EXPECT_NEAR(m_book.A, 2.1471926, 1e-6);

    // The Y text is copied as typed; the fitted value has three decimals.
    EXPECT_EQ(DataRows(m_book.fit), (Rows{{"1", "2", "2,147"}, {"2", "3,5", "3,037"}, {"3", "8", "8,589"}}));
    ASSERT_EQ(m_book.observedSeries.size(), 3u);
    ASSERT_EQ(m_book.fittedSeries.size(), 3u);
    EXPECT_EQ(m_book.observedSeries[1].label, "2");
    EXPECT_EQ(m_book.observedSeries[1].value, 3.5);
    EXPECT_EQ(m_book.fittedSeries[2].label, "3");
    EXPECT_NEAR(m_book.fittedSeries[2].value, 8.5888, 1e-3);
}

TEST_F(EstimationTest, SecondRunGivesTheSameTextsAndOneSumRow)
{
    Load(m_book, kSmall);
    compute();
    const Rows first = DataRows(m_book.calculation);
    compute();
    EXPECT_EQ(DataRows(m_book.calculation), first);
    EXPECT_EQ(SumRows(m_book.calculation), 1);
    EXPECT_EQ(m_book.observedSeries.size(), 3u);
    EXPECT_EQ(m_book.fittedSeries.size(), 3u);
}

TEST_F(EstimationTest, EditedDataRewritesEverySumOfTheSumRow)
{
    Load(m_book, {{"1", "1", "1"}, {"1000", "2", "1"}, {"1", "4", "1"}});
    compute();
    // Same count, so the "Sum" row stays where it is.
    Load(m_book, kSmall);
    compute();
    EXPECT_EQ(DataRows(m_book.calculation), kSmallCalculation);
}

TEST_F(EstimationTest, CountChangedAfterARunMovesTheSumRow)
{
    struct Case {
        std::string count;
        std::vector<Observation> data;
        int sumRow;
        std::string sumX;
        std::string sumZ;
    };
    const Case cases[] = {
        // Lowered: the old "Sum" row falls beyond the row count.
        {"2", {kSmall[0], kSmall[1]}, 3, "0,693147", "1,945910"},
        // Raised: the old "Sum" row becomes data row 4.
        {"4", {kSmall[0], kSmall[1], kSmall[2], kSmall[2]}, 5, "3,465735", "4,718498"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("count " + c.count);
        Workbook book;
        Load(book, kSmall);
        ComputeCommand(book, ',');
        Load(book, c.data);
        ASSERT_TRUE(ComputeCommand(book, ',').complete());
        EXPECT_EQ(book.calculation.rowCount(), c.sumRow + 1);
        EXPECT_EQ(book.calculation.cell(CalculationColumn::kYear, c.sumRow), "Sum");
        EXPECT_EQ(book.calculation.cell(CalculationColumn::kX, c.sumRow), c.sumX);
        EXPECT_EQ(book.calculation.cell(CalculationColumn::kZ, c.sumRow), c.sumZ);
        EXPECT_EQ(SumRows(book.calculation), 1);
    }
}

TEST_F(EstimationTest, CalendarYearsLabelTheChartAndTheFitTable)
{
    Load(m_book, kSmall);
    for (int row = 1; row <= 3; ++row)
        m_book.observations.setCell(ObservationColumn::kYear, row, std::to_string(1920 + row));
    compute();
    for (int row = 1; row <= 3; ++row) {
        const std::string year = std::to_string(1920 + row);
        EXPECT_EQ(m_book.observedSeries[row - 1].label, year);
        EXPECT_EQ(m_book.fittedSeries[row - 1].label, year);
        EXPECT_EQ(m_book.fit.cell(FitColumn::kYear, row), year);
    }
    // The calculation table keeps the row numbers.
    EXPECT_EQ(m_book.calculation.cell(CalculationColumn::kYear, 1), "1");
}

// R² in levels of a fit made in logarithms can be below zero: an outlier in
// Y pulls the level mean but hardly the log-linear line.
TEST_F(EstimationTest, RSquaredInLevelsCanBeNegative)
{
    Load(m_book, {{"1", "1", "1"}, {"1000", "2", "1"}, {"1", "4", "1"}});
    compute();
    EXPECT_EQ(m_book.r2Caption, "R2= -47,334 %");
}

struct ZeroZCase {
    std::string name;
    std::vector<Observation> data;
    std::vector<std::string> errors;  // column 8 of the data rows
    std::string errorSum;
    std::string meanError;
    std::string residualSum;  // the only cell in general notation
    std::string r2;
};

class ZeroZTest : public ::testing::TestWithParam<ZeroZCase> {};

// Y equal to L gives Z = 0: the row's relative error is undefined, the run
// goes on to R².
TEST_P(ZeroZTest, LeavesTheRowOutOfTheMeanError)
{
    const ZeroZCase& c = GetParam();
    Workbook book;
    Load(book, c.data);
    ASSERT_TRUE(ComputeCommand(book, ',').complete());
    for (std::size_t i = 0; i < c.errors.size(); ++i)
        EXPECT_EQ(book.calculation.cell(CalculationColumn::kRelativeError, static_cast<int>(i) + 1),
                  c.errors[i])
            << "row " << i + 1;
    const int sumRow = static_cast<int>(c.data.size()) + 1;
    EXPECT_EQ(book.calculation.cell(CalculationColumn::kRelativeError, sumRow), c.errorSum);
    EXPECT_EQ(book.calculation.cell(CalculationColumn::kResidual, sumRow), c.residualSum);
    EXPECT_EQ(book.meanErrorCaption, c.meanError);
    EXPECT_EQ(book.r2Caption, c.r2);
    EXPECT_EQ(book.fittedSeries.size(), c.data.size());
}

INSTANTIATE_TEST_SUITE_P(
    Estimation, ZeroZTest,
    ::testing::Values(
        // 21,618 = (29,780334 + 13,455948) / 2: the mean is over the two rows with an error.
        ZeroZCase{"OneRow",
                  {{"1", "1", "1"}, {"3,5", "2", "1"}, {"8", "8", "2"}},
                  {"\u2014", "29,780334", "13,455948"},
                  "43,236282",
                  "Aср=21,618 %",
                  // Double sum of -0,186539 + 0,373077 - 0,186539.
                  "-1,00000000002876E-6",
                  "R2= 84,419 %"},
        ZeroZCase{"EveryRow",
                  {{"1", "2", "1"}, {"2", "1", "2"}, {"3", "9", "3"}},
                  {"\u2014", "\u2014", "\u2014"},
                  "0,000000",
                  "Aср=\u2014",
                  "0",
                  "R2= 100,000 %"}),
    CaseName());

struct UndeterminedCase {
    std::string name;
    std::string count;
    std::vector<Observation> data;
    std::string message;
    std::string sumX;
};

class UndeterminedFitTest : public ::testing::TestWithParam<UndeterminedCase> {};

TEST_P(UndeterminedFitTest, IsRefusedAfterTheTableBeforeTheCoefficients)
{
    const UndeterminedCase& c = GetParam();
    Workbook book;
    Load(book, kSmall);
    ComputeCommand(book, ',');
    Load(book, c.data);
    SetCountText(book, c.count);

    try {
        ComputeCommand(book, ',');
        FAIL() << "no error";
    } catch (const ComputationError& error) {
        EXPECT_EQ(std::string(error.what()), c.message);
        EXPECT_EQ(error.row(), 0);
    }
    const int sumRow = book.calculation.rowCount() - 1;
    EXPECT_EQ(book.calculation.cell(CalculationColumn::kYear, sumRow), "Sum");
    EXPECT_EQ(book.calculation.cell(CalculationColumn::kX, sumRow), c.sumX);
    EXPECT_EQ(book.calculation.cell(CalculationColumn::kZX, sumRow), "");
    EXPECT_EQ(book.alfa, 0);
    EXPECT_EQ(book.A, 0);
    EXPECT_EQ(book.aCaption, "a=");
    EXPECT_EQ(book.ACaption, "A=");
    EXPECT_EQ(book.bCaption, "b=");
    // Left from the first run.
    EXPECT_EQ(book.formula, "Y=2,147193*(K^0,500000)*(L^0,500000)");
    EXPECT_EQ(book.r2Caption, "R2= 97,010 %");
    EXPECT_TRUE(book.fittedSeries.empty());
}

const std::string kTooFew = "Коэффициенты не определяются: нужно не меньше двух наблюдений.";
const std::string kSameX =
    "Коэффициенты не определяются: отношение K/L одинаково во всех наблюдениях (все X равны).";

INSTANTIATE_TEST_SUITE_P(
    Estimation, UndeterminedFitTest,
    ::testing::Values(UndeterminedCase{"NoRow", "00", {}, kTooFew, "0,000000"},
                      UndeterminedCase{"OneRow", "1", {{"3,5", "2", "1"}}, kTooFew, "0,693147"},
                      UndeterminedCase{"SameX",
                                       "3",
                                       {{"2", "2", "1"}, {"5", "4", "2"}, {"9", "6", "3"}},
                                       kSameX,
                                       "2,079441"}),
    CaseName());

struct Fault {
    std::string name;
    int column;  // of the observation table, row 2
    std::string text;
    std::string message;
};

class FirstPhaseFaultTest : public ::testing::TestWithParam<Fault> {};

// A fault in the logarithms leaves the calculation table, the fit table and
// R2= of the earlier run; the chart and coefficients were already reset.
TEST_P(FirstPhaseFaultTest, NamesTheCellAndKeepsTheEarlierTables)
{
    const Fault& c = GetParam();
    Workbook book;
    Load(book, kSmall);
    ComputeCommand(book, ',');
    const Rows calculation = DataRows(book.calculation);
    const Rows fit = DataRows(book.fit);
    book.observations.setCell(c.column, 2, c.text);

    try {
        ComputeCommand(book, ',');
        FAIL() << "no error";
    } catch (const ComputationError& error) {
        EXPECT_EQ(std::string(error.what()), c.message);
        EXPECT_EQ(error.row(), 2);
        EXPECT_EQ(error.column(), book.observations.cell(c.column, 0));
    }
    EXPECT_EQ(DataRows(book.calculation), calculation);
    EXPECT_EQ(DataRows(book.fit), fit);
    EXPECT_TRUE(book.observedSeries.empty());
    EXPECT_EQ(book.alfa, 0);
    EXPECT_EQ(book.aCaption, "a=");
    EXPECT_EQ(book.meanErrorCaption, "Aср=8,902 %");
    EXPECT_EQ(book.r2Caption, "R2= 97,010 %");
}

INSTANTIATE_TEST_SUITE_P(
    Estimation, FirstPhaseFaultTest,
    ::testing::Values(
        Fault{"Blank", 1, " ",
              "' ' is not a valid floating point value\nСтрока 2, столбец «Производство(Y)»."},
        Fault{"FullStop", 2, "2.5",
              "'2.5' is not a valid floating point value\nСтрока 2, столбец «Капитал (K)»."},
        Fault{"ZeroL", 3, "0", "Floating point division by zero\nСтрока 2, столбец «Труд (L)»."},
        Fault{"ZeroY", 1, "0", "Floating point division by zero\nСтрока 2, столбец «Производство(Y)»."},
        Fault{"NegativeK", 2, "-2", "Invalid floating point operation\nСтрока 2, столбец «Капитал (K)»."},
        Fault{"NegativeL", 3, "-1", "Invalid floating point operation\nСтрока 2, столбец «Труд (L)»."}),
    CaseName());

// An empty cell ends the run without a message, before the calculation
// table is touched; the result names the cell.
TEST_F(EstimationTest, EmptyCellEndsTheRunSilently)
{
    for (int column = ObservationColumn::kY; column <= ObservationColumn::kL; ++column) {
        SCOPED_TRACE(column);
        Workbook book;
        Load(book, kSmall);
        ComputeCommand(book, ',');
        const Rows calculation = DataRows(book.calculation);
        book.observations.setCell(column, 3, "");

        const ComputeOutcome outcome = ComputeCommand(book, ',');
        EXPECT_FALSE(outcome.complete());
        EXPECT_EQ(outcome.emptyRow, 3);
        EXPECT_EQ(outcome.emptyColumn, book.observations.cell(column, 0));
        EXPECT_EQ(DataRows(book.calculation), calculation);
        EXPECT_TRUE(book.fittedSeries.empty());
        EXPECT_EQ(book.aCaption, "a=");
        EXPECT_EQ(book.A, 0);
    }
}

// Y, K and L all negative pass the logarithms (the ratios are positive) but
// not the real power of the fit in levels.
TEST_F(EstimationTest, FaultInTheFitInLevelsKeepsTheRowsBefore)
{
    Load(m_book, {kSmall[0], {"-3,5", "-2", "-1"}, kSmall[2]});
    try {
        compute();
        FAIL() << "no error";
    } catch (const ComputationError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Invalid floating point operation\nСтрока 2, столбец «Капитал (K)».");
    }
    EXPECT_EQ(m_book.calculation.cell(CalculationColumn::kYear, 4), "Sum");
    EXPECT_EQ(m_book.aCaption, "a=0,500000");
    EXPECT_EQ(m_book.meanErrorCaption, "Aср=8,902 %");
    EXPECT_EQ(m_book.fit.cell(FitColumn::kFittedY, 1), "2,147");
    EXPECT_EQ(m_book.observedSeries.size(), 2u);
    EXPECT_EQ(m_book.fittedSeries.size(), 1u);
    EXPECT_EQ(m_book.r2Caption, "R2=");
}

TEST_F(EstimationTest, EqualOutputsLeaveRSquaredUndetermined)
{
    Load(m_book, {{"2", "1", "1"}, {"2", "2", "1"}, {"2", "4", "1"}});
    try {
        compute();
        FAIL() << "no error";
    } catch (const ComputationError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Floating point division by zero\nR2 не определяется: все значения Y одинаковы.");
        EXPECT_EQ(error.row(), 0);
    }
    EXPECT_EQ(m_book.fit.cell(FitColumn::kFittedY, 3), "2,000");
    EXPECT_EQ(m_book.r2Caption, "R2=");
}

TEST_F(EstimationTest, CountTextThatIsNoNumberNamesTheField)
{
    Load(m_book, kSmall);
    m_book.countText = "3x";
    try {
        compute();
        FAIL() << "no error";
    } catch (const ComputationError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "'3x' is not a valid floating point value\nПоле «Кол-во наблюдений».");
    }
    EXPECT_EQ(m_book.calculation.cell(CalculationColumn::kYear, 4), "Sum");
    EXPECT_EQ(m_book.aCaption, "a=");
}

// Cobb and Douglas's indices of US manufacturing, 1899-1922 (1899 = 100).
TEST_F(EstimationTest, ShippedDataSetOf1928)
{
    std::ifstream file(COBB_EXAMPLES_DIR "/cobb-douglas-1928.txt");
    ASSERT_TRUE(file) << "examples/cobb-douglas-1928.txt";
    std::vector<Observation> data;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t first = line.find(':');
        const std::size_t second = line.find(':', first + 1);
        data.push_back(
            {line.substr(0, first), line.substr(first + 1, second - first - 1), line.substr(second + 1)});
    }
    ASSERT_EQ(data.size(), 24u);
    Load(m_book, data);

    ASSERT_TRUE(compute().complete());
    EXPECT_NEAR(m_book.alfa, 0.2541, 5e-5);
    EXPECT_NEAR(m_book.A, 1.0147, 5e-5);
    EXPECT_EQ(m_book.aCaption, "a=0,254133");
    EXPECT_EQ(m_book.ACaption, "A=1,014651");
    EXPECT_EQ(m_book.bCaption, "b=0,0145");
    EXPECT_EQ(m_book.formula, "Y=1,014651*(K^0,254133)*(L^0,745867)");
    // The base year has Y = K = L = 100, so Z = 0 there.
    EXPECT_EQ(m_book.calculation.cell(CalculationColumn::kRelativeError, 1), "\u2014");
    EXPECT_EQ(m_book.calculation.cell(CalculationColumn::kRelativeError, 25), "1283,826080");
    // The residuals' sum, about a millionth, in general notation.
    EXPECT_EQ(m_book.calculation.cell(CalculationColumn::kResidual, 25), "-9,99999999973245E-7");
    EXPECT_EQ(m_book.meanErrorCaption, "Aср=55,819 %");
    EXPECT_EQ(m_book.r2Caption, "R2= 94,171 %");
    EXPECT_EQ(m_book.fit.cell(FitColumn::kFittedY, 24), "209,808");
}

struct ForecastCase {
    std::string name;
    double alfa;
    double A;
    std::string k;
    std::string l;
    std::string expected;
};

class ForecastFormulaTest : public ::testing::TestWithParam<ForecastCase> {};

TEST_P(ForecastFormulaTest, WritesTheForecastWithSixDecimals)
{
    const ForecastCase& c = GetParam();
    Table forecast(ForecastColumn::kCount);
    std::string count = "1";
    forecast.setCell(ForecastColumn::kK, 1, c.k);
    forecast.setCell(ForecastColumn::kL, 1, c.l);
    ForecastCommand(forecast, count, {c.alfa, c.A}, ',');
    EXPECT_EQ(forecast.cell(ForecastColumn::kY, 1), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Estimation, ForecastFormulaTest,
    ::testing::Values(ForecastCase{"BeforeAnyEstimation", 0, 0, "431", "161", "0,000000"},
                      // 1,01 · 431^0,25 · 161^0,75
                      ForecastCase{"CobbDouglas", 0.25, 1.01, "431", "161", "207,998450"},
                      ForecastCase{"SquareRoots", 0.5, 2, "4", "9", "12,000000"},
                      ForecastCase{"ZeroK", 0.3, 1.5, "0", "5", "0,000000"},
                      ForecastCase{"Decimals", 0.5, 1, "2,25", "1", "1,500000"}),
    CaseName());

class ForecastTest : public ::testing::Test {
protected:
    ForecastTest()
    {
        SetForecastHeaders(m_forecast);
        m_forecast.setRowCount(4);
        for (int row = 1; row <= 3; ++row) {
            m_forecast.setCell(ForecastColumn::kK, row, "4");
            m_forecast.setCell(ForecastColumn::kL, row, "9");
            m_forecast.setCell(ForecastColumn::kY, row, "old");
        }
    }

    Table m_forecast{ForecastColumn::kCount};
    std::string m_count = "3";
};

TEST_F(ForecastTest, RowWithoutLStopsTheForecast)
{
    m_forecast.setCell(ForecastColumn::kL, 2, "");
    ForecastCommand(m_forecast, m_count, {0.5, 2}, ',');
    EXPECT_EQ(m_forecast.cell(ForecastColumn::kY, 1), "12,000000");
    EXPECT_EQ(m_forecast.cell(ForecastColumn::kY, 2), "old");
    EXPECT_EQ(m_forecast.cell(ForecastColumn::kY, 3), "old");
}

TEST_F(ForecastTest, FaultNamesTheCellAndKeepsTheRowsAbove)
{
    struct Case {
        int column;
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {ForecastColumn::kK, "x", "'x' is not a valid floating point value\nСтрока 2, столбец «ОПФ(К)»."},
        {ForecastColumn::kK, "-4", "Invalid floating point operation\nСтрока 2, столбец «ОПФ(К)»."},
        {ForecastColumn::kL, "-9", "Invalid floating point operation\nСтрока 2, столбец «Численость (L)»."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        m_forecast.setCell(ForecastColumn::kK, 2, "4");
        m_forecast.setCell(ForecastColumn::kL, 2, "9");
        m_forecast.setCell(ForecastColumn::kY, 1, "old");
        m_forecast.setCell(c.column, 2, c.text);
        try {
            ForecastCommand(m_forecast, m_count, {0.5, 2}, ',');
            FAIL() << "no error";
        } catch (const ComputationError& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
        EXPECT_EQ(m_forecast.cell(ForecastColumn::kY, 1), "12,000000");
        EXPECT_EQ(m_forecast.cell(ForecastColumn::kY, 2), "old");
    }
}

TEST_F(ForecastTest, CountSetsTheRowsAndIsChecked)
{
    std::string zero = "0";
    ForecastCommand(m_forecast, zero, {0.5, 2}, ',');
    EXPECT_EQ(zero, "1");
    EXPECT_EQ(m_forecast.rowCount(), 2);

    for (std::string refused : {"10001", "-1"}) {
        SCOPED_TRACE(refused);
        EXPECT_THROW(ForecastCommand(m_forecast, refused, {0.5, 2}, ','), CountError);
        EXPECT_EQ(m_forecast.rowCount(), 2);
    }
    std::string notCount = "1,5";
    EXPECT_THROW(ForecastCommand(m_forecast, notCount, {0.5, 2}, ','), ConversionError);

    // Raising the count again shows the hidden rows, which are forecast anew.
    ForecastCommand(m_forecast, m_count, {0.5, 2}, ',');
    EXPECT_EQ(m_forecast.rowCount(), 4);
    EXPECT_EQ(m_forecast.cell(ForecastColumn::kY, 3), "12,000000");
}

}  // namespace
}  // namespace model
