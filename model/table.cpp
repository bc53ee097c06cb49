#include "model/table.h"

#include "model/number_text.h"
#include "model/text_encoding.h"

#include <string>

namespace model {

Table::Table(int columnCount, int rowCount)
    : m_columnCount(columnCount), m_rowCount(0),
      m_columnWidths(static_cast<std::size_t>(columnCount), kDefaultColumnWidth)
{
    if (columnCount < 1)
        throw std::invalid_argument("a table needs at least one column");
    setRowCount(rowCount);
}

Table::Table(const Table& other)
    : m_columnCount(other.m_columnCount), m_rowCount(other.m_rowCount), m_rows(other.m_rows),
      m_columnWidths(other.m_columnWidths)
{
}

// The listener is this table's own: it stays and is told of the changes.
// cppcheck-suppress operatorEqVarError
Table& Table::operator=(const Table& other)
{
    if (this == &other)
        return *this;
    if (other.m_columnCount != m_columnCount)
        throw std::invalid_argument("a table takes the cells of a table of as many columns only");
    setRowCount(other.m_rowCount);
    for (int row = 0; row < m_rowCount; ++row)
        for (int column = 0; column < m_columnCount; ++column)
            setCell(column, row,
                    other.m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]);
    // The shown rows are alike by now: what is left are the hidden ones, which no listener sees.
    m_rows = other.m_rows;
    for (int column = 0; column < m_columnCount; ++column)
        if (columnWidth(column) != other.columnWidth(column))
            setColumnWidth(column, other.columnWidth(column));
    return *this;
}

bool Table::operator==(const Table& other) const
{
    return m_columnCount == other.m_columnCount && m_rowCount == other.m_rowCount && m_rows == other.m_rows
           && m_columnWidths == other.m_columnWidths;
}

void Table::setRowCount(int rowCount)
{
    if (rowCount < 1)
        throw std::invalid_argument("a table keeps at least its header row");
    if (rowCount == m_rowCount)
        return;
    if (static_cast<std::size_t>(rowCount) > m_rows.size())
        m_rows.resize(static_cast<std::size_t>(rowCount),
                      std::vector<std::string>(static_cast<std::size_t>(m_columnCount)));
    if (m_listener)
        m_listener->rowCountAboutToChange(m_rowCount, rowCount);
    m_rowCount = rowCount;
    if (m_listener)
        m_listener->rowCountChanged();
}

void Table::checkAddress(int column, int row) const
{
    if (column < 0 || column >= m_columnCount || row < 0 || row >= m_rowCount)
        throw std::out_of_range("cell (" + std::to_string(column) + ", " + std::to_string(row)
                                + ") is outside the table");
}

const std::string& Table::cell(int column, int row) const
{
    checkAddress(column, row);
    return m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void Table::setCell(int column, int row, std::string text)
{
    checkAddress(column, row);
    std::string& stored = m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    if (stored == text)
        return;
    stored = std::move(text);
    if (m_listener)
        m_listener->cellChanged(column, row);
}

void Table::eraseRow(int row)
{
    for (int column = 0; column < m_columnCount; ++column)
        setCell(column, row, std::string());
}

int Table::columnWidth(int column) const
{
    checkAddress(column, 0);
    return m_columnWidths[static_cast<std::size_t>(column)];
}

void Table::setColumnWidth(int column, int width)
{
    checkAddress(column, 0);
    m_columnWidths[static_cast<std::size_t>(column)] = width;
    if (m_listener)
        m_listener->columnWidthChanged(column);
}

void Table::setHeaders(std::initializer_list<std::string_view> headers)
{
    int column = 0;
    for (std::string_view header : headers)
        setCell(column++, 0, std::string(header));
}

void Table::setColumnWidths(std::initializer_list<int> widths)
{
    int column = 0;
    for (int width : widths)
        setColumnWidth(column++, width);
}

int ParseObservationCount(std::string_view countText)
{
    const int count = ParseCount(countText);
    if (count < 0 || count > kMaxObservationCount)
        throw CountError("Количество наблюдений должно быть от 0 до " + std::to_string(kMaxObservationCount)
                         + ", а не " + std::string(countText) + ".");
    return count;
}

std::string CountRule(std::string_view countText, std::initializer_list<Table*> tables)
{
    // "0" is shown as "1": a table always keeps one data row for typing.
    std::string shown = countText == "0" ? std::string("1") : std::string(countText);
    const int count = ParseObservationCount(shown);
    for (Table* table : tables) {
        table->setRowCount(count + 1);
        for (int row = 1; row <= count; ++row)
            table->setCell(kYearColumn, row, std::to_string(row));
    }
    return shown;
}

bool DigitFilter(char32_t character, char32_t separator)
{
    return character == 8 || character == 13 || character == separator || IsDigit(character);
}

}  // namespace model
