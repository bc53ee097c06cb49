#pragma once

#include "model/table.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Blocks of cells as spreadsheets put them on the clipboard: one row per
// line, cells separated by tabs.
namespace model {

struct Workbook;

// Rows of cell texts; rows may differ in length.
using CellBlock = std::vector<std::vector<std::string>>;

// Data cells from column firstColumn to lastColumn and row firstRow to lastRow.
struct CellRange {
    int firstColumn = 0;
    int lastColumn = 0;
    int firstRow = 1;
    int lastRow = 1;
};

// The clipboard text of the range: its rows of tab-separated cells, each
// ended by "\n", cells that `selected` rejects left empty, and the header
// row first when withHeaders. Tabs and line breaks inside a cell become
// spaces, so that the block keeps its shape.
std::string CopyBlock(const Table& table, const CellRange& range,
                      const std::function<bool(int column, int row)>& selected, bool withHeaders);

// Splits clipboard text into rows and cells: a row ends at LF (CRs are
// dropped and a final line break adds no row); cells are split at tabs, or
// at semicolons when the text holds no tab.
CellBlock SplitBlock(std::string_view text);

// A block that cannot be pasted; what() is the message a user reads.
class PasteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Pastes clipboard text into the observation table with its first cell at
// (column, row), row being a data row. Every cell must be empty or a number,
// a full stop standing for `separator`; the block must fit the table's
// columns and the observation limit. Only then the count is raised through
// SetCountText when the block reaches below the last row, and the cells are
// written, trimmed of spaces and with `separator` for a full stop.
// Throws PasteError before changing anything; the message names the first
// cell at fault by its row and column header.
void PasteObservations(Workbook& book, int column, int row, std::string_view text, char separator);

}  // namespace model
