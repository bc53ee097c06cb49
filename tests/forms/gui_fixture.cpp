#include "tests/forms/gui_fixture.h"

#include "forms/controls/string_grid.h"
#include "model/table.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

void GuiTest::SetUp()
{
    m_previousReporter = Application::instance()->setErrorReporter(
        [this](const QString& message) { errors.append(message); });
    m_previousOpener = shell::SetUrlOpener([this](const QUrl& url) { openedUrls.append(url); });
    ASSERT_TRUE(folder.isValid());

    m_modalWatchdog.setInterval(100);
    QObject::connect(&m_modalWatchdog, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ADD_FAILURE() << "unexpected modal dialog: " << modal->windowTitle().toStdString();
            modal->close();
        }
    });
    m_modalWatchdog.start();
}

void GuiTest::TearDown()
{
    m_modalWatchdog.stop();
    Application::instance()->setErrorReporter(m_previousReporter);
    shell::SetUrlOpener(m_previousOpener);
}

void GuiTest::typeIntoCell(StringGrid* grid, int column, int row, const QString& text)
{
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(row - 1, column));
    // The first key opens the cell's editor; the rest go to that editor.
    auto target = [grid]() -> QWidget* {
        // Editors closed earlier linger hidden until deleted; the open one is visible.
        for (QLineEdit* editor : grid->viewport()->findChildren<QLineEdit*>())
            if (editor->isVisible())
                return editor;
        return grid;
    };
    for (const QChar character : text)
        QTest::keyClicks(target(), QString(character));
    QTest::keyClick(target(), Qt::Key_Return);
    // The editor hands its text to the table in a queued call.
    QCoreApplication::processEvents();
}

void GuiTest::typeIntoField(QLineEdit* field, const QString& text)
{
    field->setFocus();
    // Typing over the selection replaces it without passing through the empty text.
    field->selectAll();
    QTest::keyClicks(field, text);
}

void GuiTest::deliver(const std::function<void()>& action)
{
    QTimer::singleShot(0, action);
    QCoreApplication::processEvents();
}

QString GuiTest::cellText(StringGrid* grid, int column, int row)
{
    return QString::fromStdString(grid->table().cell(column, row));
}
