#include "model/workbook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace model {
namespace {

// The texts of the table's visible rows, one string per row.
std::vector<std::string> Rows(const Table& table)
{
    std::vector<std::string> rows;
    for (int row = 0; row < table.rowCount(); ++row) {
        std::string text;
        for (int column = 0; column < table.columnCount(); ++column)
            text += table.cell(column, row) + "|";
        rows.push_back(text);
    }
    return rows;
}

bool SameSeries(const std::vector<ChartPoint>& a, const std::vector<ChartPoint>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const ChartPoint& p, const ChartPoint& q) {
        return p.label == q.label && p.value == q.value;
    });
}

std::string Captions(const Workbook& book)
{
    return book.aCaption + book.ACaption + book.bCaption + book.meanErrorCaption + book.r2Caption;
}

const std::string kInitialCaptions = "a=A=b=Aср=R2=";

// Every cell of a data row holds text, so an erased cell shows.
void FillRow(Table& table, int row, const std::string& tag)
{
    for (int column = 1; column < table.columnCount(); ++column)
        table.setCell(column, row, tag + std::to_string(column));
}

// The window after "Вычислить" on `count` observations: the calculation
// table carries its "Sum" row, and the results, fit table and chart are set.
Workbook Computed(int count)
{
    Workbook book;
    book.countText.clear();  // typed afresh, so that CountRule numbers even a count of 1
    SetCountText(book, std::to_string(count));
    for (int row = 1; row <= count; ++row)
        FillRow(book.observations, row, "y" + std::to_string(row) + "_");
    book.calculation.setRowCount(count + 2);
    for (int row = 1; row <= count + 1; ++row)
        FillRow(book.calculation, row, "c" + std::to_string(row) + "_");
    book.calculation.setCell(CalculationColumn::kYear, count + 1, "Sum");
    book.fit.setRowCount(count + 1);
    for (int row = 1; row <= count; ++row) {
        book.fit.setCell(FitColumn::kYear, row, std::to_string(row));
        FillRow(book.fit, row, "f" + std::to_string(row) + "_");
    }
    book.aCaption = "a=0,3";
    book.ACaption = "A=2";
    book.bCaption = "b=0,69";
    book.meanErrorCaption = "Aср=1,5";
    book.r2Caption = "R2=98";
    book.alfa = 0.3;
    book.A = 2;
    book.formula = "Y=2*(K^0,3)*(L^0,7)";
    book.observedSeries = {{"1", 10}, {"2", 12}};
    book.fittedSeries = {{"1", 11}, {"2", 12.5}};
    return book;
}

struct CommandCase {
    const char* name;
    void (*command)(Workbook&);
    int count;
    // Expected afterwards.
    int observationRows;
    const char* firstYear;     // cell (0, 1) of the observation table
    bool observationsEmptied;  // columns 1 .. 3 of row 1
    int calculationRows;
    bool resultsReset;  // captions, alfa, A and the calculation cells
    bool fitEmptied;    // one empty data row
};

TEST(ClearAndNewCommands, EndInTheStatesTheyPromise)
{
    const CommandCase cases[] = {
        // One observation row: "Очистить" stops at once.
        {"clear, one row", ClearCommand, 1, 2, "1", false, 3, false, false},
        // "Новая " goes on after that stop: the year cell is emptied too.
        {"new, one row", NewCommand, 1, 2, "", true, 3, false, true},
        {"clear, five rows", ClearCommand, 5, 2, "1", true, 2, true, false},
        {"new, five rows", NewCommand, 5, 2, "", true, 2, true, true},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Workbook before = Computed(c.count);
        Workbook book = before;
        c.command(book);

        EXPECT_EQ(book.observations.rowCount(), c.observationRows);
        EXPECT_EQ(book.observations.cell(ObservationColumn::kYear, 1), c.firstYear);
        for (int column = ObservationColumn::kY; column <= ObservationColumn::kL; ++column)
            EXPECT_EQ(book.observations.cell(column, 1).empty(), c.observationsEmptied);
        EXPECT_EQ(book.countText, "1");

        EXPECT_EQ(book.calculation.rowCount(), c.calculationRows);
        if (c.resultsReset) {
            EXPECT_EQ(Rows(book.calculation)[1], "1|||||||||");
            EXPECT_EQ(Captions(book), kInitialCaptions);
            EXPECT_EQ(book.alfa, 0);
            EXPECT_EQ(book.A, 0);
        } else {
            EXPECT_EQ(Rows(book.calculation), Rows(before.calculation));
            EXPECT_EQ(Captions(book), Captions(before));
            EXPECT_EQ(book.alfa, before.alfa);
            EXPECT_EQ(book.A, before.A);
        }

        if (c.fitEmptied)
            EXPECT_EQ(Rows(book.fit), (std::vector<std::string>{Rows(before.fit)[0], "|||"}));
        else
            EXPECT_EQ(Rows(book.fit), Rows(before.fit));

        // Neither command touches the formula or the chart.
        EXPECT_EQ(book.formula, before.formula);
        EXPECT_TRUE(SameSeries(book.observedSeries, before.observedSeries));
        EXPECT_TRUE(SameSeries(book.fittedSeries, before.fittedSeries));

        // A copy taken before tells whether the command changed the tables, and undoes it.
        EXPECT_EQ(SameTables(book, before), !c.observationsEmptied);
        book = before;
        EXPECT_TRUE(SameTables(book, before));
        EXPECT_EQ(Captions(book), Captions(before));
        EXPECT_EQ(book.alfa, before.alfa);
    }
}

TEST(ClearCommand, StopsAfterTheObservationsWhenTheCalculationTableHasOneRow)
{
    Workbook book = Computed(3);
    book.calculation.setRowCount(2);
    const Workbook before = book;

    ClearCommand(book);

    EXPECT_EQ(book.observations.rowCount(), 4);
    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(Rows(book.observations)[static_cast<std::size_t>(row)], "||||");
    EXPECT_EQ(Rows(book.calculation), Rows(before.calculation));
    EXPECT_EQ(book.countText, "3");
    EXPECT_EQ(Captions(book), Captions(before));
    EXPECT_EQ(book.alfa, before.alfa);
}

class CommandKeepsHiddenRows : public testing::TestWithParam<void (*)(Workbook&)> {};

TEST_P(CommandKeepsHiddenRows, RaisingTheCountShowsThemAgain)
{
    Workbook book = Computed(5);
    SetCountText(book, "2");
    book.fit.setRowCount(3);

    GetParam()(book);
    SetCountText(book, "5");
    book.fit.setRowCount(6);

    for (int row = 3; row <= 5; ++row) {
        SCOPED_TRACE(row);
        const std::string tag = std::to_string(row) + "_1";
        EXPECT_EQ(book.observations.cell(ObservationColumn::kY, row), "y" + tag);
        EXPECT_EQ(book.calculation.cell(CalculationColumn::kX, row), "c" + tag);
        EXPECT_EQ(book.fit.cell(FitColumn::kY, row), "f" + tag);
    }
    // Rows shown when the command ran were erased.
    EXPECT_EQ(book.observations.cell(ObservationColumn::kY, 2), "");
    EXPECT_EQ(book.calculation.cell(CalculationColumn::kX, 2), "");
}

INSTANTIATE_TEST_SUITE_P(ClearAndNew, CommandKeepsHiddenRows, testing::Values(ClearCommand, NewCommand),
                         [](const testing::TestParamInfo<void (*)(Workbook&)>& info) {
                             return info.param == ClearCommand ? "Clear" : "New";
                         });

}  // namespace
}  // namespace model
