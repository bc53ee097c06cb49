#include "app/startup.h"
#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "forms/Unit3.h"
#include "forms/Unit4.h"
#include "tests/forms/gui_fixture.h"

#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

namespace {

// The program's four windows, as start-up makes them.
class WindowMenuTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        m_previousDataFolders = TForm2::setDataFolders({QStringLiteral(COBB_PROGRAM_DIR)});
        CreateWindows();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form1));
    }

    void TearDown() override
    {
        DestroyWindows();
        TForm2::setDataFolders(m_previousDataFolders);
        GuiTest::TearDown();
    }

private:
    QStringList m_previousDataFolders;
};

TEST_F(WindowMenuTest, MenuBarSitsAboveTheUnchangedClientArea)
{
    const QMenuBar* bar = Form1->menuBar();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->y(), 0);
    EXPECT_EQ(Form1->centralWidget()->size(), QSize(872, 629));
    EXPECT_EQ(Form1->centralWidget()->y(), bar->height());
    EXPECT_EQ(Form1->height(), 629 + bar->height());
    EXPECT_EQ(Form1->N11->shortcut(), QKeySequence(Qt::Key_F1));
}

TEST_F(WindowMenuTest, CommandsOpenTheForecastAndInstructionWindows)
{
    const std::pair<QAction*, QWidget*> commands[] = {{Form1->N10, Form4}, {Form1->N11, Form2}};
    for (const auto& [action, window] : commands) {
        action->trigger();
        EXPECT_TRUE(window->isVisible()) << action->text().toStdString();
    }
    EXPECT_TRUE(Form2->RichEdit1->toPlainText().contains(QStringLiteral("Что вычисляет программа")));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(WindowMenuTest, F1OpensTheInstruction)
{
    Form1->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
    QTest::keyClick(Form1, Qt::Key_F1);
    EXPECT_TRUE(Form2->isVisible());
}

TEST_F(WindowMenuTest, AboutCommandShowsTheBoxModally)
{
    bool shownModal = false;
    // The box runs its own loop: look at it from inside, then close it with OK.
    QTimer::singleShot(0, [&] {
        shownModal = AboutBox1->isVisible() && QApplication::activeModalWidget() == AboutBox1;
        AboutBox1->OKButton->click();
    });
    Form1->N12->trigger();
    EXPECT_TRUE(shownModal);
    EXPECT_FALSE(AboutBox1->isVisible());
}

TEST_F(WindowMenuTest, WebPageCommandOpensWhatTheToolbarButtonOpens)
{
    Form1->N13->trigger();
    Form1->SpeedButton8->click();
    ASSERT_EQ(openedUrls.size(), 2);
    EXPECT_EQ(openedUrls[0], openedUrls[1]);
}

}  // namespace
