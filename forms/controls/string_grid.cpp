#include "forms/controls/string_grid.h"

#include "forms/controls/table_adapter.h"
#include "model/clipboard_block.h"
#include "model/table.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

constexpr int kRowHeight = 24;

// Puts the grid's key filter on every cell editor it opens.
class FilteringDelegate : public QStyledItemDelegate {
public:
    FilteringDelegate(QObject* filter, QObject* parent) : QStyledItemDelegate(parent), m_filter(filter) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor)
            editor->installEventFilter(m_filter);
        return editor;
    }

private:
    QObject* m_filter;
};

}  // namespace

StringGrid::StringGrid(QWidget* parent) : QTableView(parent)
{
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setWordWrap(false);
    setKeyPressHandler({});
}

void StringGrid::setTable(model::Table& table, bool editable)
{
    delete m_adapter;
    m_adapter = new TableAdapter(table, editable, this);
    setModel(m_adapter);
    // As in a spreadsheet, a cell opens its editor when typed into, not when it becomes current.
    setEditTriggers(editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                                   | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed
                             : QAbstractItemView::NoEditTriggers);
    connect(m_adapter, &TableAdapter::widthChanged, this,
            [this](int column, int width) { setColumnWidth(column, width); });
    applyColumnWidths();
}

model::Table& StringGrid::table() const
{
    return m_adapter->table();
}

void StringGrid::applyColumnWidths()
{
    for (int column = 0; column < m_adapter->columnCount(); ++column)
        setColumnWidth(column, table().columnWidth(column));
}

void StringGrid::widenColumnsToText()
{
    for (int column = 0; column < m_adapter->columnCount(); ++column)
        setColumnWidth(column, std::max({table().columnWidth(column), sizeHintForColumn(column),
                                         horizontalHeader()->sectionSizeHint(column)}));
}

void StringGrid::setKeyPressHandler(KeyPressHandler handler)
{
    // The filter sees the editor's keys only while the key was not checked already.
    delete m_keyFilter;
    m_keyFilter = new KeyPressFilter(
        [this, handler = std::move(handler)](char32_t& key) {
            if (!m_forwardingKey && handler)
                handler(key);
        },
        this);
    QAbstractItemDelegate* previous = itemDelegate();
    setItemDelegate(new FilteringDelegate(m_keyFilter, this));
    delete previous;
}

void StringGrid::setEditHandler(EditHandler handler)
{
    m_adapter->setEditHandler(std::move(handler));
}

void StringGrid::setPopupMenu(QMenu* menu)
{
    m_popupMenu = menu;
    setContextMenuPolicy(menu ? Qt::CustomContextMenu : Qt::DefaultContextMenu);
    disconnect(this, &QWidget::customContextMenuRequested, nullptr, nullptr);
    if (menu)
        connect(this, &QWidget::customContextMenuRequested, this,
                [this](const QPoint& at) { m_popupMenu->popup(viewport()->mapToGlobal(at)); });
}

void StringGrid::copySelection() const
{
    QModelIndexList cells = selectionModel()->selectedIndexes();
    if (cells.isEmpty() && currentIndex().isValid())
        cells.append(currentIndex());
    if (cells.isEmpty())
        return;
    // Data row r of the table is row r - 1 of the view.
    model::CellRange range{cells.front().column(), cells.front().column(), cells.front().row() + 1,
                           cells.front().row() + 1};
    for (const QModelIndex& cell : cells) {
        range.firstColumn = std::min(range.firstColumn, cell.column());
        range.lastColumn = std::max(range.lastColumn, cell.column());
        range.firstRow = std::min(range.firstRow, cell.row() + 1);
        range.lastRow = std::max(range.lastRow, cell.row() + 1);
    }
    const bool wholeTable = cells.size() == qsizetype(m_adapter->rowCount()) * m_adapter->columnCount();
    const std::string text = model::CopyBlock(
        table(), range,
        [this](int column, int row) {
            return selectionModel()->isSelected(m_adapter->index(row - 1, column));
        },
        wholeTable);
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void StringGrid::keyPressEvent(QKeyEvent* event)
{
    // Clipboard keys come before the filter, which would swallow their control characters.
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste) && m_pasteHandler) {
        event->accept();
        if (currentIndex().isValid())
            m_pasteHandler(QGuiApplication::clipboard()->text().toStdString(), currentIndex().column(),
                           currentIndex().row() + 1);
        return;
    }
    if (!m_keyFilter->passes(*event)) {
        event->accept();
        return;
    }
    // A typed key that passed opens an editor and reaches it again.
    m_forwardingKey = true;
    QTableView::keyPressEvent(event);
    m_forwardingKey = false;
}
