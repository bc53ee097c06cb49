#include "forms/workbook_history.h"

#include "forms/application.h"

#include <QScopeGuard>
#include <QUndoCommand>

#include <exception>
#include <utility>

namespace {

// Steps this many back; a whole-table step keeps one copy of the workbook.
constexpr int kUndoLimit = 100;

enum StepId { kCountStep = 1 };

}  // namespace

// A change that has already been made when it is pushed, so its first redo
// does nothing. Undo and redo must not throw through QUndoStack: a failure
// is reported as the program reports any other.
class HistoryStep : public QUndoCommand {
public:
    HistoryStep(WorkbookHistory& history, const QString& name) : QUndoCommand(name), m_history(history) {}

    void undo() final { apply(false); }

    void redo() final
    {
        if (std::exchange(m_pushed, false))
            return;
        apply(true);
    }

protected:
    model::Workbook& book() { return m_history.m_book; }
    virtual void change(bool forward) = 0;

private:
    void apply(bool forward)
    {
        try {
            change(forward);
        } catch (const std::exception& error) {
            Application::instance()->reportError(QString::fromUtf8(error.what()));
        }
        emit m_history.restored();
    }

    WorkbookHistory& m_history;
    bool m_pushed = true;
};

namespace {

// Undo and redo alike exchange the workbook with the one kept.
class WorkbookStep : public HistoryStep {
public:
    WorkbookStep(WorkbookHistory& history, const QString& name, model::Workbook other)
        : HistoryStep(history, name), m_other(std::move(other))
    {
    }

private:
    void change(bool) override
    {
        model::Workbook shown = book();
        book() = m_other;
        m_other = std::move(shown);
    }

    model::Workbook m_other;
};

class CellStep : public HistoryStep {
public:
    CellStep(WorkbookHistory& history, int column, int row, std::string before, std::string after)
        : HistoryStep(history, QStringLiteral("ввод в ячейку")), m_column(column), m_row(row),
          m_before(std::move(before)), m_after(std::move(after))
    {
    }

private:
    void change(bool forward) override
    {
        book().observations.setCell(m_column, m_row, forward ? m_after : m_before);
    }

    int m_column;
    int m_row;
    std::string m_before;
    std::string m_after;
};

class CountStep : public HistoryStep {
public:
    CountStep(WorkbookHistory& history, std::string before, std::string after)
        : HistoryStep(history, QStringLiteral("изменение количества")), m_before(std::move(before)),
          m_after(std::move(after))
    {
    }

    int id() const override { return kCountStep; }

    bool mergeWith(const QUndoCommand* next) override
    {
        m_after = static_cast<const CountStep*>(next)->m_after;
        setObsolete(m_after == m_before);
        return true;
    }

private:
    void change(bool forward) override { model::SetCountText(book(), forward ? m_after : m_before); }

    std::string m_before;
    std::string m_after;
};

}  // namespace

WorkbookHistory::WorkbookHistory(model::Workbook& book, QObject* parent) : QUndoStack(parent), m_book(book)
{
    setUndoLimit(kUndoLimit);
}

void WorkbookHistory::runCommand(const QString& name, const std::function<void()>& command)
{
    model::Workbook before = m_book;
    const auto record = qScopeGuard([&] {
        if (!model::SameTables(before, m_book))
            push(new WorkbookStep(*this, name, std::move(before)));
    });
    command();
}

void WorkbookHistory::typeCell(int column, int row, const std::string& text)
{
    std::string before = m_book.observations.cell(column, row);
    if (before == text)
        return;
    m_book.observations.setCell(column, row, text);
    push(new CellStep(*this, column, row, std::move(before), text));
}

void WorkbookHistory::setCountText(const std::string& text)
{
    std::string before = m_book.countText;
    const auto record = qScopeGuard([&] {
        if (m_book.countText != before)
            push(new CountStep(*this, std::move(before), m_book.countText));
    });
    model::SetCountText(m_book, text);
}
