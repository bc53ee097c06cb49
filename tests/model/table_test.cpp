#include "model/number_text.h"
#include "model/table.h"
#include "model/workbook.h"
#include "tests/case_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using model::CalculationColumn;
using model::CountRule;
using model::ObservationColumn;
using model::Table;

TEST(TableTest, LoweringTheCountKeepsHiddenRows)
{
    Table observations(ObservationColumn::kCount);
    Table calculation(CalculationColumn::kCount);
    CountRule("3", {&observations, &calculation});
    observations.setCell(ObservationColumn::kY, 3, "300");
    CountRule("5", {&observations, &calculation});
    observations.setCell(ObservationColumn::kY, 4, "400");
    observations.setCell(ObservationColumn::kY, 5, "500");
    observations.setCell(ObservationColumn::kYear, 5,
                         "1999");  // a calendar year, renumbered by the next count

    CountRule("3", {&observations, &calculation});
    EXPECT_EQ(observations.rowCount(), 4);
    EXPECT_THROW((void)observations.cell(ObservationColumn::kY, 4), std::out_of_range);

    CountRule("5", {&observations, &calculation});
    EXPECT_EQ(observations.cell(ObservationColumn::kY, 3), "300");
    EXPECT_EQ(observations.cell(ObservationColumn::kY, 4), "400");
    EXPECT_EQ(observations.cell(ObservationColumn::kY, 5), "500");
    EXPECT_EQ(observations.cell(ObservationColumn::kYear, 5), "5");
    EXPECT_EQ(calculation.rowCount(), 6);
    EXPECT_EQ(calculation.cell(CalculationColumn::kYear, 5), "5");
}

// What a view of the table is told, one line per notice.
class RecordingListener : public model::TableListener {
public:
    std::vector<std::string> notices;

    void rowCountAboutToChange(int oldCount, int newCount) override
    {
        notices.push_back("rows " + std::to_string(oldCount) + " -> " + std::to_string(newCount));
    }
    void rowCountChanged() override { notices.push_back("rows changed"); }
    void cellChanged(int column, int row) override
    {
        notices.push_back("cell " + std::to_string(column) + "," + std::to_string(row));
    }
    void columnWidthChanged(int column) override { notices.push_back("width " + std::to_string(column)); }
};

TEST(TableTest, AssigningACopyBringsBackHiddenRowsAndTellsTheViewOfEachChange)
{
    Table table(2);
    RecordingListener view;
    table.setRowCount(4);
    table.setCell(1, 1, "10");
    table.setCell(1, 3, "30");
    table.setRowCount(3);  // row 3 hidden
    table.setListener(&view);

    const Table saved = table;
    table.setCell(1, 1, "changed");  // a copy follows no longer, nor tells the view
    EXPECT_EQ(saved.cell(1, 1), "10");
    EXPECT_EQ(view.notices, std::vector<std::string>{"cell 1,1"});

    table.setRowCount(2);
    table.setCell(0, 1, "1999");
    table.setColumnWidth(0, 99);
    EXPECT_FALSE(table == saved);
    view.notices.clear();
    table = saved;
    EXPECT_TRUE(table == saved);
    EXPECT_EQ(view.notices,
              (std::vector<std::string>{"rows 2 -> 3", "rows changed", "cell 0,1", "cell 1,1", "width 0"}));
    table.setRowCount(4);
    EXPECT_EQ(table.cell(1, 3), "30");
    EXPECT_EQ(table.cell(1, 1), "10");
    EXPECT_EQ(table.columnWidth(0), Table::kDefaultColumnWidth);
    EXPECT_THROW(table = Table(3), std::invalid_argument);
}

struct CountCase {
    const char* name;
    const char* text;
    const char* shown;
    int rowCount;
};

class CountRuleTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountRuleTest, SetsRowCountsAndNumbersRows)
{
    const CountCase& test = GetParam();
    Table observations(ObservationColumn::kCount);
    Table calculation(CalculationColumn::kCount);
    EXPECT_EQ(CountRule(test.text, {&observations, &calculation}), test.shown);
    EXPECT_EQ(observations.rowCount(), test.rowCount);
    EXPECT_EQ(calculation.rowCount(), test.rowCount);
    for (int row = 1; row < test.rowCount; ++row)
        EXPECT_EQ(observations.cell(ObservationColumn::kYear, row), std::to_string(row));
}

INSTANTIATE_TEST_SUITE_P(Counts, CountRuleTest,
                         ::testing::Values(CountCase{"One", "1", "1", 2}, CountCase{"Zero", "0", "1", 2},
                                           CountCase{"DoubleZero", "00", "00", 1},
                                           CountCase{"Twelve", "12", "12", 13},
                                           CountCase{"Largest", "10000", "10000", 10001}),
                         CaseName());

struct RefusedCount {
    const char* name;
    const char* text;
    const char* message;
};

class RefusedCountTest : public ::testing::TestWithParam<RefusedCount> {};

TEST_P(RefusedCountTest, ChangesNoTable)
{
    const RefusedCount& test = GetParam();
    Table observations(ObservationColumn::kCount);
    Table calculation(CalculationColumn::kCount);
    CountRule("2", {&observations, &calculation});
    observations.setCell(ObservationColumn::kY, 2, "kept");
    try {
        CountRule(test.text, {&observations, &calculation});
        FAIL() << "accepted " << test.text;
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), test.message);
    }
    EXPECT_EQ(observations.rowCount(), 3);
    EXPECT_EQ(calculation.rowCount(), 3);
    EXPECT_EQ(observations.cell(ObservationColumn::kY, 2), "kept");
}

INSTANTIATE_TEST_SUITE_P(
    Counts, RefusedCountTest,
    ::testing::Values(
        RefusedCount{"Empty", "", "'' is not a valid integer value"},
        RefusedCount{"Fraction", "1,5", "'1,5' is not a valid integer value"},
        RefusedCount{"OneTooMany", "10001", "Количество наблюдений должно быть от 0 до 10000, а не 10001."},
        RefusedCount{"FarTooMany", "999999999",
                     "Количество наблюдений должно быть от 0 до 10000, а не 999999999."},
        RefusedCount{"Negative", "-1", "Количество наблюдений должно быть от 0 до 10000, а не -1."}),
    CaseName());

TEST(TableTest, CountRuleTouchesOnlyTheYearColumn)
{
    Table observations(ObservationColumn::kCount);
    observations.setCell(ObservationColumn::kY, 1, "10");
    observations.setCell(ObservationColumn::kYear, 1, "1999");
    CountRule("2", {&observations});
    EXPECT_EQ(observations.cell(ObservationColumn::kYear, 1), "1");
    EXPECT_EQ(observations.cell(ObservationColumn::kY, 1), "10");
    EXPECT_EQ(observations.cell(ObservationColumn::kY, 2), "");
}

TEST(DigitFilterTest, PassesDigitsTheSeparatorBackspaceAndEnter)
{
    for (char32_t passing : {U'0', U'5', U'9', U'\b', U'\r', U','})
        EXPECT_TRUE(model::DigitFilter(passing, U',')) << static_cast<int>(passing);
    for (char32_t swallowed : {U'a', U'-', U'.', U' ', U'+', U'e', U'\x03', U'\x16', U'\t', U'я'})
        EXPECT_FALSE(model::DigitFilter(swallowed, U',')) << static_cast<int>(swallowed);
    // Where the locale writes a full stop, the full stop is the separator a user types.
    EXPECT_TRUE(model::DigitFilter(U'.', U'.'));
    EXPECT_FALSE(model::DigitFilter(U',', U'.'));
}

}  // namespace
