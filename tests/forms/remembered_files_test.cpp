#include "forms/Unit1.h"
#include "forms/settings.h"
#include "tests/forms/main_window_fixture.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>

#include <memory>

namespace {

// What the main window remembers between runs: the dialogs' folder and the recent files.
class RememberedFilesTest : public MainWindowFixture {
protected:
    // An observation file of `rows` rows of 1:1:1 in a folder of the test's own.
    QString writeFile(const QString& name, int rows = 2)
    {
        const QString file = path(name);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile writing(file);
        EXPECT_TRUE(writing.open(QIODevice::WriteOnly));
        writing.write(QByteArray("1:1:1\r\n").repeated(rows));
        return file;
    }

    void open(const QString& file)
    {
        openChoice = file;
        window->SpeedButton6->click();
        openChoice.clear();
    }

    QList<QAction*> recentEntries() const
    {
        QList<QAction*> shown;
        for (QAction* action : window->RecentFilesMenu->actions())
            if (action->isVisible())
                shown.append(action);
        return shown;
    }

    QStringList recentMenu() const
    {
        QStringList texts;
        for (const QAction* action : recentEntries())
            texts.append(action->text());
        return texts;
    }
};

TEST_F(RememberedFilesTest, DialogsStartWhereAFileWasLastOpenedOrSaved)
{
    window->SpeedButton6->click();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests.back().folder, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    EXPECT_EQ(requests.back().filter, QStringLiteral("Текстовые документы (*.txt)"));

    open(writeFile("in/data.txt"));
    window->SpeedButton7->click();  // cancelled
    EXPECT_EQ(requests.back().folder, path("in"));
    EXPECT_EQ(requests.back().filter, QStringLiteral("Текстовые документы (*.txt)"));

    QDir().mkpath(path("pictures"));
    saveChoice = path("pictures/chart.png");
    window->N14->trigger();
    window->N15->trigger();
    EXPECT_EQ(requests.back().folder, path("pictures"));

    // A new window, as after a restart, starts there too; a folder since removed is not offered.
    window = std::make_unique<TForm1>();
    window->SpeedButton6->click();
    EXPECT_EQ(requests.back().folder, path("pictures"));
    QDir(path("pictures")).removeRecursively();
    window->SpeedButton6->click();
    EXPECT_EQ(requests.back().folder, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(RememberedFilesTest, RecentFilesListTheLastFiveNewestFirstOnce)
{
    QMenu* file = window->menuBar()->actions().front()->menu();
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->actions().contains(window->RecentFilesMenu->menuAction()));
    EXPECT_EQ(window->RecentFilesMenu->title(), QStringLiteral("&Недавние файлы"));
    EXPECT_FALSE(window->RecentFilesMenu->isEnabled());

    QStringList files;
    for (int i = 1; i <= 6; ++i)
        files.append(writeFile(QStringLiteral("data%1.txt").arg(i)));
    for (const QString& name : files)
        open(name);
    open(files[2]);  // again: moves to the top, not listed twice
    saveChoice = path("saved & kept.txt");
    window->SpeedButton7->click();

    const auto entry = [](int number, const QString& name) {
        return QStringLiteral("&%1 %2").arg(number).arg(QDir::toNativeSeparators(name).replace('&', "&&"));
    };
    const QStringList expected{entry(1, saveChoice), entry(2, files[2]), entry(3, files[5]),
                               entry(4, files[4]), entry(5, files[3])};
    EXPECT_TRUE(window->RecentFilesMenu->isEnabled());
    EXPECT_EQ(recentMenu(), expected);
    // Remembered for the next run.
    window = std::make_unique<TForm1>();
    EXPECT_EQ(recentMenu(), expected);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(RememberedFilesTest, ARecentFileLoadsAndOneThatVanishedIsReportedAndDropped)
{
    const QString kept = writeFile("kept.txt", 3);
    const QString gone = writeFile("gone.txt", 4);
    open(kept);
    open(gone);
    window->SpeedButton5->click();

    recentEntries().at(1)->trigger();
    EXPECT_EQ(window->LabeledEdit1->text(), "3");
    ASSERT_EQ(settings::RecentObservationFiles(), (QStringList{kept, gone}));

    QFile::remove(gone);
    recentEntries().at(1)->trigger();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().contains(QStringLiteral("Не удалось прочитать файл «%1»").arg(gone)))
        << errors.front().toStdString();
    EXPECT_EQ(window->LabeledEdit1->text(), "3");  // the table is as it was
    EXPECT_EQ(settings::RecentObservationFiles(), QStringList{kept});
    ASSERT_EQ(recentEntries().size(), 1);
    EXPECT_TRUE(recentEntries().front()->text().endsWith(QDir::toNativeSeparators(kept)));
}

TEST_F(RememberedFilesTest, MenusHaveMnemonicsAndTheSpinnerAndChartsHaveNames)
{
    QString letters;
    for (const QAction* menu : window->menuBar()->actions()) {
        const QString title = menu->text();
        ASSERT_EQ(title.count('&'), 1) << title.toStdString();
        letters += title.at(title.indexOf('&') + 1).toLower();
        for (const QAction* item : menu->menu()->actions())
            EXPECT_TRUE(item->isSeparator() || item->text().contains('&')) << item->text().toStdString();
    }
    for (const QChar letter : letters)
        EXPECT_EQ(letters.count(letter), 1) << letters.toStdString();

    for (const QWidget* named : std::initializer_list<const QWidget*>{
             window->UpDown1->upButton(), window->UpDown1->downButton(), window->Chart1, window->Chart2})
        EXPECT_FALSE(named->accessibleName().isEmpty()) << named->metaObject()->className();
    EXPECT_NE(window->UpDown1->upButton()->accessibleName(), window->UpDown1->downButton()->accessibleName());
}

}  // namespace
