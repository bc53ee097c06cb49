#pragma once

#include "forms/application.h"
#include "forms/file_chooser.h"
#include "forms/shell.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <functional>

class StringGrid;
class QLineEdit;

// Drives real windows offscreen. Error and warning boxes are recorded instead of shown,
// the browser and the file dialogs are replaced (a dialog "chooses"
// openChoice or saveChoice, the overwrite question answers overwriteAnswer),
// files and the settings go to a temporary folder, and a modal dialog
// that a test did not expect is closed and fails the test instead of
// blocking it.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Types text into a grid cell as a user would: select the cell, type keys, press Enter.
    static void typeIntoCell(StringGrid* grid, int column, int row, const QString& text);
    // Replaces a field's text by typing it.
    static void typeIntoField(QLineEdit* field, const QString& text);
    // Runs an action as an event, so that an error it throws is reported as the program reports it.
    static void deliver(const std::function<void()>& action);
    static QString cellText(StringGrid* grid, int column, int row);
    // A file in the test's temporary folder, and what a file holds (empty when it cannot be read).
    QString path(const QString& name) const { return folder.filePath(name); }
    static QByteArray contents(const QString& file);

    QStringList errors;
    QStringList warnings;
    QList<QUrl> openedUrls;
    bool browserOpens = true;  // what the replaced browser answers
    QTemporaryDir folder;

    QString openChoice;
    QString saveChoice;
    bool overwriteAnswer = false;
    QList<file_chooser::Request> requests;
    QStringList overwriteQuestions;

private:
    Application::ErrorReporter m_previousReporter;
    Application::WarningReporter m_previousWarningReporter;
    shell::UrlOpener m_previousOpener;
    file_chooser::Chooser m_previousOpen;
    file_chooser::Chooser m_previousSave;
    file_chooser::OverwriteQuestion m_previousQuestion;
    QTimer m_modalWatchdog;
};
