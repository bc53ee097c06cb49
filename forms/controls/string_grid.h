#pragma once

#include "forms/controls/key_press.h"

#include <QTableView>

namespace model {
class Table;
}
class TableAdapter;
class QMenu;

// A table of text cells over a model::Table: the table's row 0 is the
// header, rows are 24 pixels high, column widths follow the table, and every
// character typed into a cell, or into the editor of a cell, goes through
// the grid's key press handler first.
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

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyColumnWidths();

    TableAdapter* m_adapter = nullptr;
    KeyPressFilter* m_keyFilter = nullptr;
    QMenu* m_popupMenu = nullptr;
    // Set while a key that already passed the handler is forwarded to a new editor.
    bool m_forwardingKey = false;
};
