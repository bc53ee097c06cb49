#include "tests/forms/gui_fixture.h"

#include "forms/controls/string_grid.h"
#include "model/table.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTest>
#include <QWidget>

void GuiTest::SetUp()
{
    m_previousReporter =
        Application::instance()->setErrorReporter([this](const QString& message) { errors.append(message); });
    m_previousWarningReporter = Application::instance()->setWarningReporter(
        [this](const QString& message) { warnings.append(message); });
    m_previousOpener = shell::SetUrlOpener([this](const QUrl& url) {
        openedUrls.append(url);
        return browserOpens;
    });
    m_previousOpen = file_chooser::SetOpenChooser([this](const file_chooser::Request& request) {
        requests.append(request);
        return openChoice;
    });
    m_previousSave = file_chooser::SetSaveChooser([this](const file_chooser::Request& request) {
        requests.append(request);
        return saveChoice;
    });
    m_previousQuestion = file_chooser::SetOverwriteQuestion([this](QWidget*, const QString& path) {
        overwriteQuestions.append(path);
        return overwriteAnswer;
    });
    ASSERT_TRUE(folder.isValid());
    // What the program remembers goes to this test's own folder, never to the user's settings.
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, path(QStringLiteral("settings")));

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
    Application::instance()->setWarningReporter(m_previousWarningReporter);
    shell::SetUrlOpener(m_previousOpener);
    file_chooser::SetOpenChooser(m_previousOpen);
    file_chooser::SetSaveChooser(m_previousSave);
    file_chooser::SetOverwriteQuestion(m_previousQuestion);
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

QByteArray GuiTest::contents(const QString& file)
{
    QFile reading(file);
    return reading.open(QIODevice::ReadOnly) ? reading.readAll() : QByteArray();
}

QString GuiTest::cellText(StringGrid* grid, int column, int row)
{
    return QString::fromStdString(grid->table().cell(column, row));
}
