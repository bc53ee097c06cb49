// Undo and redo of the observations in the main window: Ctrl+Z, Ctrl+Shift+Z
// and the «Правка» menu, on the real widgets.

#include "forms/Unit1.h"
#include "tests/forms/main_window_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <functional>

namespace {

class MainWindowUndoTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // Three observations typed and computed, so that results show too.
    void typeAndCompute()
    {
        typeSmallDataSet();
        window->SpeedButton2->click();
        ASSERT_EQ(window->Label2->text(), "a=0,500000");
    }

    // What a user reads of the data: the count, every observation cell, the coefficient a.
    QStringList shown() const
    {
        QStringList texts{window->LabeledEdit1->text(), window->Label2->text()};
        for (int row = 1; row <= window->StringGrid1->model()->rowCount(); ++row)
            for (int column = 0; column < model::ObservationColumn::kCount; ++column)
                texts.append(cellText(window->StringGrid1, column, row));
        return texts;
    }

    // The keys as a user presses them over the observation table.
    void undo() const { QTest::keyClick(window->StringGrid1, Qt::Key_Z, Qt::ControlModifier); }
    void redo() const
    {
        QTest::keyClick(window->StringGrid1, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    }
};

class WholeTableCommandUndoTest;

struct WholeTableCommand {
    const char* name;
    std::function<void(WholeTableCommandUndoTest& test)> run;
};

class WholeTableCommandUndoTest : public MainWindowUndoTest,
                                  public ::testing::WithParamInterface<WholeTableCommand> {
public:
    // For the commands of the table below.
    using MainWindowUndoTest::dropOnto;
    using MainWindowUndoTest::openChoice;
    using MainWindowUndoTest::path;
    using MainWindowUndoTest::window;
    using MainWindowUndoTest::write;
};

TEST_P(WholeTableCommandUndoTest, CtrlZBringsBackTheTableAndCtrlShiftZTheCommandsResult)
{
    typeAndCompute();
    window->StringGrid1->setFocus();
    const QStringList before = shown();

    GetParam().run(*this);
    ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    const QStringList after = shown();
    ASSERT_NE(after, before);

    undo();
    EXPECT_EQ(shown(), before);
    EXPECT_EQ(window->StringGrid3->model()->rowCount(), 4);  // the calculation rows and their sum
    redo();
    EXPECT_EQ(shown(), after);
    undo();
    EXPECT_EQ(shown(), before);
    window->SpeedButton2->click();  // the data brought back compute as before
    EXPECT_EQ(window->Label2->text(), "a=0,500000");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

const WholeTableCommand kWholeTableCommands[] = {
    {"New", [](WholeTableCommandUndoTest& test) { test.window->SpeedButton5->click(); }},
    {"Clear", [](WholeTableCommandUndoTest& test) { test.window->N5->trigger(); }},
    {"Load",
     [](WholeTableCommandUndoTest& test) {
         test.write(test.path("data.txt"), "5:6:7\n");
         test.openChoice = test.path("data.txt");
         test.window->SpeedButton6->click();
     }},
    {"Drop",
     [](WholeTableCommandUndoTest& test) {
         test.write(test.path("data.txt"), "5:6:7\n9:9:9\n");
         EXPECT_TRUE(test.dropOnto({QUrl::fromLocalFile(test.path("data.txt"))}));
     }},
    {"Paste",
     [](WholeTableCommandUndoTest& test) {
         StringGrid* grid = test.window->StringGrid1;
         grid->setCurrentIndex(grid->model()->index(1, model::ObservationColumn::kY));
         QGuiApplication::clipboard()->setText("9\t9\t9\n9\t9\t9\n9\t9\t9\n");
         QTest::keySequence(grid, QKeySequence::Paste);
     }},
};

INSTANTIATE_TEST_SUITE_P(Commands, WholeTableCommandUndoTest, ::testing::ValuesIn(kWholeTableCommands),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowUndoTest, UndoGoesBackThroughTypedCellsBeforeTheCommandTheyFollow)
{
    typeAndCompute();
    const QStringList computed = shown();
    window->N5->trigger();
    const QStringList cleared = shown();
    typeIntoCell(window->StringGrid1, 1, 1, "5");
    const QStringList typed = shown();

    window->StringGrid1->setFocus();
    undo();
    EXPECT_EQ(shown(), cleared);
    undo();
    EXPECT_EQ(shown(), computed);
    redo();
    EXPECT_EQ(shown(), cleared);
    redo();
    EXPECT_EQ(shown(), typed);

    // A change after an undo drops what was undone.
    undo();
    typeIntoCell(window->StringGrid1, 2, 1, "6");
    EXPECT_FALSE(window->N21->isEnabled());
    redo();
    EXPECT_EQ(cellText(window->StringGrid1, 1, 1), "");
    EXPECT_EQ(cellText(window->StringGrid1, 2, 1), "6");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(MainWindowUndoTest, CountChangesAreStepsSoTypedRowsComeBackWithThem)
{
    typeIntoField(window->LabeledEdit1, "3");
    typeIntoCell(window->StringGrid1, 1, 3, "7");
    typeIntoField(window->LabeledEdit1, "2");
    window->StringGrid1->setFocus();

    undo();  // the count
    EXPECT_EQ(window->LabeledEdit1->text(), "3");
    EXPECT_EQ(cellText(window->StringGrid1, 1, 3), "7");
    undo();  // the cell
    EXPECT_EQ(cellText(window->StringGrid1, 1, 3), "");
    undo();  // the count, typed in one go
    EXPECT_EQ(window->LabeledEdit1->text(), "1");
    EXPECT_EQ(window->StringGrid1->model()->rowCount(), 1);
    EXPECT_FALSE(window->N20->isEnabled());
    redo();
    redo();
    EXPECT_EQ(window->LabeledEdit1->text(), "3");
    EXPECT_EQ(cellText(window->StringGrid1, 1, 3), "7");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(MainWindowUndoTest, TheEditMenuNamesWhatItUndoesAndKeepsWhatChangedNothing)
{
    QStringList menus;
    for (const QAction* menu : window->menuBar()->actions())
        menus.append(menu->text().remove(QLatin1Char('&')));
    EXPECT_EQ(menus.mid(0, 3), (QStringList{"Файл", "Правка", "Окна"}));
    EXPECT_EQ(window->N20->text(), "&Отменить");
    EXPECT_FALSE(window->N20->isEnabled());
    EXPECT_FALSE(window->N21->isEnabled());
    EXPECT_EQ(window->N20->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(window->N21->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));

    // Commands that change nothing are no step: «Очистить» on one row, a refused paste.
    window->N5->trigger();
    StringGrid* grid = window->StringGrid1;
    grid->setCurrentIndex(grid->model()->index(0, model::ObservationColumn::kY));
    QGuiApplication::clipboard()->setText("1\tx\n");
    deliver([grid] { QTest::keySequence(grid, QKeySequence::Paste); });
    EXPECT_EQ(errors.size(), 1);
    EXPECT_FALSE(window->N20->isEnabled());

    typeAndCompute();
    window->N5->trigger();
    EXPECT_EQ(window->N20->text(), "&Отменить «Очистить»");
    window->N20->trigger();
    EXPECT_EQ(window->LabeledEdit1->text(), "3");
    EXPECT_EQ(window->N21->text(), "&Повторить «Очистить»");
    window->N21->trigger();
    EXPECT_EQ(window->LabeledEdit1->text(), "1");
}

}  // namespace
