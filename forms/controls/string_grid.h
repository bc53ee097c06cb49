#pragma once

#include "forms/controls/key_press.h"

#include <QTableView>

#include <functional>
#include <string>

namespace model {
class Table;
}
class TableAdapter;
class QMenu;

// A table of text cells over a model::Table: the table's row 0 is the
// header, rows are 24 pixels high, column widths follow the table, and every
// character typed into a cell, or into the editor of a cell, goes through
// the grid's key press handler first. Ctrl+C copies the selected cells as
// tab-separated text, with the header row when the whole table is selected.
class StringGrid : public QTableView {
    Q_OBJECT
public:
    explicit StringGrid(QWidget* parent = nullptr);

    void setTable(model::Table& table, bool editable);
    model::Table& table() const;

    void setKeyPressHandler(KeyPressHandler handler);
    // Widens the columns whose text does not fit; never narrows one below the table's width.
    void widenColumnsToText();
    // The context menu shown on a right click; the grid does not own it.
    void setPopupMenu(QMenu* menu);

    // Receives Ctrl+V pressed while no cell editor is open: the clipboard's
    // text and the current cell (column, data row). Without one the grid
    // ignores Ctrl+V.
    using PasteHandler = std::function<void(const std::string& text, int column, int row)>;
    void setPasteHandler(PasteHandler handler) { m_pasteHandler = std::move(handler); }

    // Receives the text typed into a cell (column, data row), which it then
    // writes itself; without one the grid writes it into the table. Set
    // after setTable, for that table.
    using EditHandler = std::function<void(int column, int row, const std::string& text)>;
    void setEditHandler(EditHandler handler);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyColumnWidths();
    void copySelection() const;

    TableAdapter* m_adapter = nullptr;
    KeyPressFilter* m_keyFilter = nullptr;
    QMenu* m_popupMenu = nullptr;
    PasteHandler m_pasteHandler;
    // Set while a key that already passed the handler is forwarded to a new editor.
    bool m_forwardingKey = false;
};
