// Pasting any clipboard text into the observation table at any cell, as
// Ctrl+V does. A refused block changes nothing and its message stays short;
// a pasted block lands as SplitBlock reads it, trimmed, with the separator
// for a full stop, and copying the range gives those cells back.
//
// Input: byte 0 holds flags (bit 0: '.' as the separator, else ','; bits 1-2:
// the column of the first cell), byte 1 the row of the first cell (1 to 256)
// and byte 2 the table's row count (1 to 64); the rest is the clipboard text.

#include "fuzz/fuzz_check.h"
#include "model/clipboard_block.h"
#include "model/table.h"
#include "model/text_encoding.h"
#include "model/workbook.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kMaxMessageBytes = 1000;

std::string Expected(const std::string& cell, char separator)
{
    std::string text = model::Trimmed(cell);
    std::replace(text.begin(), text.end(), '.', separator);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const char separator = (data[0] & 1) != 0 ? '.' : ',';
    const int column = (data[0] >> 1) & 3;
    const int row = 1 + data[1];
    const std::string_view text(reinterpret_cast<const char*>(data) + 3, size - 3);

    model::Workbook book;
    model::SetCountText(book, std::to_string(1 + data[2] % 64));
    for (int r = 1; r < book.observations.rowCount(); ++r)
        book.observations.setCell(model::ObservationColumn::kY, r, std::to_string(r));
    const std::vector<std::string> before = fuzz::Snapshot(book.observations);
    const std::string countBefore = book.countText;
    if (row >= book.observations.rowCount())
        return 0;  // the window pastes only at a visible row

    const model::CellBlock block = model::SplitBlock(text);
    std::size_t cellBytes = 0;
    for (const auto& cells : block) {
        for (const std::string& cell : cells) {
            fuzz::Require(cell.find_first_of("\r\n") == std::string::npos, "a cell holds no line break");
            cellBytes += cell.size();
        }
    }
    fuzz::Require(cellBytes <= text.size(), "splitting adds no text");

    try {
        model::PasteObservations(book, column, row, text, separator);
    } catch (const model::PasteError& error) {
        fuzz::Require(fuzz::Snapshot(book.observations) == before && book.countText == countBefore,
                      "a refused block changes nothing");
        fuzz::Require(std::string_view(error.what()).size() <= kMaxMessageBytes, "the message is short");
        fuzz::Require(std::string_view(error.what()).find('\0') == std::string_view::npos,
                      "the message holds no NUL that would cut it");
        return 0;
    }
    if (block.empty()) {
        fuzz::Require(fuzz::Snapshot(book.observations) == before, "an empty block changes nothing");
        return 0;
    }
    std::size_t width = 0;
    for (const auto& cells : block)
        width = std::max(width, cells.size());
    for (std::size_t i = 0; i < block.size(); ++i) {
        for (std::size_t j = 0; j < block[i].size(); ++j) {
            fuzz::Require(book.observations.cell(column + static_cast<int>(j), row + static_cast<int>(i))
                              == Expected(block[i][j], separator),
                          "each cell lands trimmed, with the separator");
        }
    }

    // Copying the pasted range gives the cells back (a short row's missing
    // cells are what the table held there).
    const model::CellRange range{column, column + static_cast<int>(width) - 1, row,
                                 row + static_cast<int>(block.size()) - 1};
    const model::CellBlock copied = model::SplitBlock(model::CopyBlock(
        book.observations, range, [](int, int) { return true; }, false));
    fuzz::Require(copied.size() == block.size(), "a copied row for every pasted row");
    for (std::size_t i = 0; i < block.size(); ++i) {
        for (std::size_t j = 0; j < block[i].size(); ++j)
            fuzz::Require(copied[i][j] == Expected(block[i][j], separator),
                          "copying gives the pasted cells back");
    }
    return 0;
}
