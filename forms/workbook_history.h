#pragma once

#include "model/workbook.h"

#include <QUndoStack>

#include <functional>
#include <string>

// Undo and redo of the main window's data. Every change a user makes to the
// observations is a step: a whole-table command ("Новая ", "Очистить", a
// load, a drop, a paste) keeps the workbook as it was, results included; a
// typed cell keeps its old text; a change of the count keeps the old count
// (changes one after another are one step). Undo thus goes back through the
// cells typed after a command before it reaches the command, and any new
// change drops what was undone. "Вычислить" is no step: its results are
// taken back with the command they follow, and computing again renews them.
class WorkbookHistory : public QUndoStack {
    Q_OBJECT
public:
    WorkbookHistory(model::Workbook& book, QObject* parent);

    // Runs a command that may replace the whole table. A step when it changed
    // the tables or the count, even when it then failed part-way.
    void runCommand(const QString& name, const std::function<void()>& command);
    // A cell of a data row typed into the observation table.
    void typeCell(int column, int row, const std::string& text);
    // The count field's new text; throws as SetCountText does, after the step
    // is taken (the text stays shown).
    void setCountText(const std::string& text);

signals:
    // Undo or redo changed the workbook; the window shows it again.
    void restored();

private:
    friend class HistoryStep;
    model::Workbook& m_book;
};
