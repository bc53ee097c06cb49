#pragma once

#include <cstddef>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace model {

// Told of every change to a Table, so that a view can follow it.
class TableListener {
public:
    virtual ~TableListener() = default;
    virtual void rowCountAboutToChange(int oldCount, int newCount) = 0;
    virtual void rowCountChanged() = 0;
    virtual void cellChanged(int column, int row) = 0;
    virtual void columnWidthChanged(int column) = 0;
};

// A grid of text cells addressed (column, row). Row 0 is the header and
// data rows are 1 .. rowCount() - 1. Lowering the row count hides the rows
// beyond it without erasing them: raising it again shows their old text.
class Table {
public:
    static constexpr int kDefaultColumnWidth = 64;

    explicit Table(int columnCount, int rowCount = 2);

    // A copy has the other's rows, hidden ones too, and column widths, but no
    // listener: a listener follows one table. Assigning keeps this table's
    // listener and tells it of every row count, cell and width that changes;
    // both tables must have the same columns.
    Table(const Table& other);
    Table& operator=(const Table& other);
    // Alike in row count, cells (hidden rows too) and column widths.
    bool operator==(const Table& other) const;

    int columnCount() const { return m_columnCount; }
    int rowCount() const { return m_rowCount; }
    void setRowCount(int rowCount);

    // Cells of rows at or beyond rowCount() cannot be addressed.
    const std::string& cell(int column, int row) const;
    void setCell(int column, int row, std::string text);

    // Writes the empty text into every column of the row.
    void eraseRow(int row);

    int columnWidth(int column) const;
    void setColumnWidth(int column, int width);

    // Header texts of row 0 and column widths, in column order.
    void setHeaders(std::initializer_list<std::string_view> headers);
    void setColumnWidths(std::initializer_list<int> widths);

    // At most one listener; pass nullptr to detach it.
    void setListener(TableListener* listener) { m_listener = listener; }

private:
    void checkAddress(int column, int row) const;

    int m_columnCount;
    int m_rowCount;
    // Holds every row ever shown; rows beyond m_rowCount are the hidden ones.
    std::vector<std::vector<std::string>> m_rows;
    std::vector<int> m_columnWidths;
    TableListener* m_listener = nullptr;
};

// The column in which CountRule numbers the data rows: the year column of
// every table that follows the count.
inline constexpr int kYearColumn = 0;

// The most rows the count field accepts; higher counts are refused.
inline constexpr int kMaxObservationCount = 10000;

// Thrown for a count outside 0 .. kMaxObservationCount.
class CountError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The count a count text stands for. Throws ConversionError when the text is
// not an integer and CountError when the count is outside
// 0 .. kMaxObservationCount.
int ParseObservationCount(std::string_view countText);

// Applies a count text to tables whose data rows follow it: "0" is replaced
// by "1", then every table gets count + 1 rows and the year column of each
// data row is numbered 1, 2, ... Only the year column is written. A text that is
// not an integer, or a count out of range, throws and changes no table.
// Returns the text the count field must show (differs from countText only
// when "0" was replaced).
std::string CountRule(std::string_view countText, std::initializer_list<Table*> tables);

// Whether a typed character reaches a cell: backspace, Enter, the decimal
// separator and the digits 0 to 9 pass; everything else is swallowed.
bool DigitFilter(char32_t character, char32_t separator);

}  // namespace model
