#include "model/clipboard_block.h"

#include "model/table.h"
#include "model/workbook.h"
#include "tests/case_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace model {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// Data rows of the observation table, all four columns.
Rows Observations(const Workbook& book)
{
    Rows rows;
    for (int row = 1; row < book.observations.rowCount(); ++row)
        rows.push_back({book.observations.cell(ObservationColumn::kYear, row),
                        book.observations.cell(ObservationColumn::kY, row),
                        book.observations.cell(ObservationColumn::kK, row),
                        book.observations.cell(ObservationColumn::kL, row)});
    return rows;
}

struct SplitCase {
    const char* text;
    CellBlock block;
};

TEST(SplitBlock, ReadsRowsAndCellsAsSpreadsheetsWriteThem)
{
    const SplitCase cases[] = {
        {"", {}},
        {"1\t2\n3\t4\n", {{"1", "2"}, {"3", "4"}}},
        {"1\t2\r\n3\t4", {{"1", "2"}, {"3", "4"}}},  // CR LF, no final line break
        {"1;2;3\n", {{"1", "2", "3"}}},              // semicolons without tabs
        {"1;2\t3\n", {{"1;2", "3"}}},                // a tab wins over semicolons
        {"\t5\t\n", {{"", "5", ""}}},                // empty cells keep their place
        {"1\t2\n3\n", {{"1", "2"}, {"3"}}},          // ragged rows
        {"\n", {{""}}},
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(SplitBlock(c.text), c.block) << c.text;
}

TEST(CopyBlock, WritesTheRangeWithHeadersWhenAsked)
{
    Table table(3, 3);
    table.setHeaders({"Год", "Y", "K"});
    table.setCell(0, 1, "1");
    table.setCell(1, 1, "2,5");
    table.setCell(2, 1, "a\tb");
    table.setCell(0, 2, "2");
    table.setCell(1, 2, "3");
    table.setCell(2, 2, "line\nbreak");
    const auto all = [](int, int) { return true; };

    EXPECT_EQ(CopyBlock(table, {1, 2, 1, 2}, all, false), "2,5\ta b\n3\tline break\n");
    EXPECT_EQ(CopyBlock(table, {0, 2, 1, 2}, all, true), "Год\tY\tK\n1\t2,5\ta b\n2\t3\tline break\n");
    // An unselected cell inside the rectangle stays empty; headers are whole.
    EXPECT_EQ(CopyBlock(
                  table, {0, 1, 1, 2}, [](int column, int row) { return column == row - 1; }, true),
              "Год\tY\n1\t\n\t3\n");
}

class PasteObservationsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCountText(m_book, "2");
        m_book.observations.setCell(ObservationColumn::kY, 1, "10");
        m_book.observations.setCell(ObservationColumn::kY, 2, "20");
    }

    Workbook m_book;
};

TEST_F(PasteObservationsTest, FullStopsAndCommasBecomeTheSeparatorAndTheCountGrows)
{
    PasteObservations(m_book, ObservationColumn::kY, 2, "3.5\t2\t 1,25 \n8\t\t4\n7\t1e2\t.5\n", ',');
    EXPECT_EQ(m_book.countText, "4");
    EXPECT_EQ(m_book.calculation.rowCount(), 5);
    EXPECT_EQ(
        Observations(m_book),
        (Rows{{"1", "10", "", ""}, {"2", "3,5", "2", "1,25"}, {"3", "8", "", "4"}, {"4", "7", "1e2", ",5"}}));
}

TEST_F(PasteObservationsTest, UnderAFullStopSeparatorCommasAreRefused)
{
    PasteObservations(m_book, ObservationColumn::kY, 1, "3.5\n", '.');
    EXPECT_EQ(m_book.observations.cell(ObservationColumn::kY, 1), "3.5");
    EXPECT_THROW(PasteObservations(m_book, ObservationColumn::kY, 1, "3,5\n", '.'), PasteError);
}

TEST_F(PasteObservationsTest, YearsCanBePastedWithTheData)
{
    PasteObservations(m_book, ObservationColumn::kYear, 1, "1899\t100\t100\t100\n1900\t101\t107\t105\n", ',');
    EXPECT_EQ(Observations(m_book), (Rows{{"1899", "100", "100", "100"}, {"1900", "101", "107", "105"}}));
    EXPECT_EQ(m_book.countText, "2");
}

struct RefusedCase {
    const char* name;
    int column;
    int row;
    std::string text;
    std::string message;
};

class RefusedPaste : public PasteObservationsTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedPaste, NamesTheFaultAndChangesNothing)
{
    const Rows before = Observations(m_book);
    try {
        PasteObservations(m_book, GetParam().column, GetParam().row, GetParam().text, ',');
        ADD_FAILURE() << "pasted";
    } catch (const PasteError& error) {
        EXPECT_EQ(error.what(), GetParam().message);
    }
    EXPECT_EQ(Observations(m_book), before);
    EXPECT_EQ(m_book.countText, "2");
}

INSTANTIATE_TEST_SUITE_P(
    Paste, RefusedPaste,
    ::testing::Values(
        // The bad cell is the last one: nothing before it may have been written.
        RefusedCase{"Word", ObservationColumn::kY, 2, "1\t2\t3\n4\t5\tx6\n",
                    "Блок не вставлен: «x6» — не число.\nСтрока 3, столбец «Труд (L)»."},
        RefusedCase{"Semicolons", ObservationColumn::kK, 1, "1;abc\n",
                    "Блок не вставлен: «abc» — не число.\nСтрока 1, столбец «Труд (L)»."},
        RefusedCase{"ThousandsSeparator", ObservationColumn::kY, 1, "1.234,5\n",
                    "Блок не вставлен: «1.234,5» — не число.\nСтрока 1, столбец «Производство(Y)»."},
        RefusedCase{"ControlCharactersShown", ObservationColumn::kY, 1,
                    std::string("1\0"
                                "2\x1B\n",
                                5),
                    "Блок не вставлен: «1\\02\\x1B» — не число.\nСтрока 1, столбец «Производство(Y)»."},
        RefusedCase{"LongCellCut", ObservationColumn::kY, 1, std::string(150, '9') + "x\n",
                    "Блок не вставлен: «" + std::string(100, '9')
                        + "…» — не число.\nСтрока 1, столбец «Производство(Y)»."},
        RefusedCase{"Header", ObservationColumn::kYear, 1, "Год\tY\n1\t2\n",
                    "Блок не вставлен: «Год» — не число.\nСтрока 1, столбец «Год»."},
        RefusedCase{"TooWide", ObservationColumn::kK, 1, "1\t2\t3\n",
                    "Блок не вставлен: он не помещается в таблицу от столбца «Капитал (K)» (столбцов в "
                    "блоке: 3, в таблице от этого столбца: 2)."},
        RefusedCase{
            "PastTheLimit", ObservationColumn::kY, 10000, "1\n2\n",
            "Блок не вставлен: он доходит до строки 10001, а наблюдений может быть не больше 10000."}),
    CaseName());

TEST(ClipboardRoundTrip, CopiedCellsPasteBackAsTheyWere)
{
    Workbook source;
    SetCountText(source, "3");
    const Rows data = {{"1", "100", "100,5", "100"}, {"2", "", "107", "105"}, {"3", "112", "1E3", "110"}};
    for (int row = 1; row <= 3; ++row)
        for (int column = 0; column < ObservationColumn::kCount; ++column)
            source.observations.setCell(column, row, data[row - 1][column]);
    const std::string text = CopyBlock(
        source.observations, {ObservationColumn::kYear, ObservationColumn::kL, 1, 3},
        [](int, int) { return true; }, false);

    Workbook target;
    PasteObservations(target, ObservationColumn::kYear, 1, text, ',');
    EXPECT_EQ(Observations(target), data);
}

}  // namespace
}  // namespace model
