#pragma once

#include "model/table.h"

#include <QAbstractTableModel>

#include <functional>
#include <string>

// Shows a model::Table in a QTableView: row 0 becomes the horizontal header,
// data rows 1 .. rowCount() - 1 become the view's rows. Edits made in the view
// are written back into the table, or handed to the edit handler when there
// is one. A cell of more than 256 bytes shows its
// start and an ellipsis; its editor gets the whole text.
class TableAdapter : public QAbstractTableModel, private model::TableListener {
    Q_OBJECT
public:
    TableAdapter(model::Table& table, bool editable, QObject* parent = nullptr);
    ~TableAdapter() override;

    model::Table& table() { return m_table; }

    // Receives a cell's edited text (column, table row) instead of the table.
    using EditHandler = std::function<void(int column, int row, const std::string& text)>;
    void setEditHandler(EditHandler handler) { m_editHandler = std::move(handler); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void widthChanged(int column, int width);

private:
    void rowCountAboutToChange(int oldCount, int newCount) override;
    void rowCountChanged() override;
    void cellChanged(int column, int row) override;
    void columnWidthChanged(int column) override;

    model::Table& m_table;
    bool m_editable;
    EditHandler m_editHandler;
    enum class RowChange { None, Insert, Remove } m_rowChange = RowChange::None;
};
