#include "forms/controls/table_adapter.h"

#include "model/text_encoding.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace {

// What a cell shows. A cell may hold a megabyte of text, and laying all of it
// out on every paint would stall the window, while a column shows a few dozen
// characters: a long text is shown by its start, cut between whole UTF-8
// characters. Editing still gets the whole text.
QString Shown(const std::string& text)
{
    constexpr std::size_t kShownBytes = 256;
    return QString::fromStdString(model::CutUtf8(text, kShownBytes));
}

}  // namespace

TableAdapter::TableAdapter(model::Table& table, bool editable, QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_editable(editable)
{
    m_table.setListener(this);
}

TableAdapter::~TableAdapter()
{
    m_table.setListener(nullptr);
}

int TableAdapter::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.rowCount() - 1;
}

int TableAdapter::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.columnCount();
}

QVariant TableAdapter::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (role == Qt::DisplayRole)
        return Shown(m_table.cell(index.column(), index.row() + 1));
    if (role == Qt::EditRole)
        return QString::fromStdString(m_table.cell(index.column(), index.row() + 1));
    return {};
}

bool TableAdapter::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_editable || role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    std::string text = value.toString().toStdString();
    if (m_editHandler)
        m_editHandler(index.column(), index.row() + 1, text);
    else
        m_table.setCell(index.column(), index.row() + 1, std::move(text));
    return true;
}

QVariant TableAdapter::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0
        || section >= m_table.columnCount())
        return {};
    return QString::fromStdString(m_table.cell(section, 0));
}

Qt::ItemFlags TableAdapter::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return m_editable ? flags | Qt::ItemIsEditable : flags;
}

void TableAdapter::rowCountAboutToChange(int oldCount, int newCount)
{
    // The view counts data rows only: the header row is not one of them.
    const int oldRows = oldCount - 1;
    const int newRows = newCount - 1;
    if (newRows > oldRows) {
        m_rowChange = RowChange::Insert;
        beginInsertRows(QModelIndex(), std::max(oldRows, 0), newRows - 1);
    } else if (newRows < oldRows) {
        m_rowChange = RowChange::Remove;
        beginRemoveRows(QModelIndex(), std::max(newRows, 0), oldRows - 1);
    }
}

void TableAdapter::rowCountChanged()
{
    if (m_rowChange == RowChange::Insert)
        endInsertRows();
    else if (m_rowChange == RowChange::Remove)
        endRemoveRows();
    m_rowChange = RowChange::None;
}

void TableAdapter::cellChanged(int column, int row)
{
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, column, column);
        return;
    }
    const QModelIndex changed = index(row - 1, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

void TableAdapter::columnWidthChanged(int column)
{
    emit widthChanged(column, m_table.columnWidth(column));
}
