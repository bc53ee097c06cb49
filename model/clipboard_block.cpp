#include "model/clipboard_block.h"

#include "model/number_text.h"
#include "model/text_encoding.h"
#include "model/workbook.h"

#include <algorithm>

namespace model {

namespace {

// A cell as the block's row and column separators leave it intact.
std::string Flattened(std::string text)
{
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

// A longer cell is quoted by its start.
constexpr std::size_t kQuotedCellBytes = 100;

// The cell as the table stores it: trimmed, a full stop written as the
// separator; throws when it is neither empty nor a number.
std::string PastedNumber(std::string_view cell, char separator)
{
    std::string text = Trimmed(cell);
    std::replace(text.begin(), text.end(), '.', separator);
    if (!text.empty())
        ParseNumber(text, separator);
    return text;
}

}  // namespace

std::string CopyBlock(const Table& table, const CellRange& range,
                      const std::function<bool(int column, int row)>& selected, bool withHeaders)
{
    std::string text;
    const auto addRow = [&](int row, bool all) {
        for (int column = range.firstColumn; column <= range.lastColumn; ++column) {
            if (column > range.firstColumn)
                text += '\t';
            if (all || selected(column, row))
                text += Flattened(table.cell(column, row));
        }
        text += '\n';
    };
    if (withHeaders)
        addRow(0, true);
    for (int row = range.firstRow; row <= range.lastRow; ++row)
        addRow(row, false);
    return text;
}

CellBlock SplitBlock(std::string_view text)
{
    const char separator = text.find('\t') != std::string_view::npos ? '\t' : ';';
    CellBlock block;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string line(text.substr(0, end));
        std::erase(line, '\r');
        text.remove_prefix(std::min(end + 1, text.size()));

        std::vector<std::string>& cells = block.emplace_back();
        for (std::size_t start = 0;;) {
            const std::size_t stop = line.find(separator, start);
            cells.push_back(line.substr(start, stop - start));
            if (stop == std::string::npos)
                break;
            start = stop + 1;
        }
    }
    return block;
}

void PasteObservations(Workbook& book, int column, int row, std::string_view text, char separator)
{
    Table& table = book.observations;
    const CellBlock block = SplitBlock(text);
    if (block.empty())
        return;
    std::size_t width = 0;
    for (const auto& cells : block)
        width = std::max(width, cells.size());
    const auto header = [&table](int at) { return "«" + Trimmed(table.cell(at, 0)) + "»"; };

    if (column + static_cast<int>(width) > table.columnCount())
        throw PasteError("Блок не вставлен: он не помещается в таблицу от столбца " + header(column)
                         + " (столбцов в блоке: " + std::to_string(width) + ", в таблице от этого столбца: "
                         + std::to_string(table.columnCount() - column) + ").");
    const int lastRow = row + static_cast<int>(block.size()) - 1;
    if (lastRow > kMaxObservationCount)
        throw PasteError("Блок не вставлен: он доходит до строки " + std::to_string(lastRow)
                         + ", а наблюдений может быть не больше " + std::to_string(kMaxObservationCount)
                         + ".");

    CellBlock cells = block;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        for (std::size_t j = 0; j < cells[i].size(); ++j) {
            try {
                cells[i][j] = PastedNumber(cells[i][j], separator);
            } catch (const ConversionError&) {
                throw PasteError("Блок не вставлен: «"
                                 + VisibleControls(CutUtf8(block[i][j], kQuotedCellBytes))
                                 + "» — не число.\nСтрока " + std::to_string(row + static_cast<int>(i))
                                 + ", столбец " + header(column + static_cast<int>(j)) + ".");
            }
        }
    }

    if (lastRow > table.rowCount() - 1)
        SetCountText(book, std::to_string(lastRow));
    for (std::size_t i = 0; i < cells.size(); ++i)
        for (std::size_t j = 0; j < cells[i].size(); ++j)
            table.setCell(column + static_cast<int>(j), row + static_cast<int>(i), cells[i][j]);
}

}  // namespace model
