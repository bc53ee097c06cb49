#pragma once

#include "forms/application.h"
#include "forms/shell.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <functional>

class StringGrid;
class QLineEdit;

// Drives real windows offscreen. Error boxes are recorded instead of shown,
// the browser is replaced, files go to a temporary folder, and a modal dialog
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

    QStringList errors;
    QList<QUrl> openedUrls;
    QTemporaryDir folder;

private:
    Application::ErrorReporter m_previousReporter;
    shell::UrlOpener m_previousOpener;
    QTimer m_modalWatchdog;
};
