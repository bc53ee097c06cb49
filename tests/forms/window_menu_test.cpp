#include "app/startup.h"
#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "forms/Unit3.h"
#include "forms/Unit4.h"
#include "forms/data_files.h"
#include "tests/forms/gui_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

namespace {

// The program's four windows, as start-up makes them.
class WindowMenuTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        m_previousDataFolders = data_files::SetFolders({QStringLiteral(COBB_PROGRAM_DIR)});
        CreateWindows();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form1));
    }

    void TearDown() override
    {
        DestroyWindows();
        data_files::SetFolders(m_previousDataFolders);
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

TEST_F(WindowMenuTest, OnAScreenSmallerThanTheWindowTheClientAreaScrolls)
{
    const auto* scroller = qobject_cast<QScrollArea*>(Form1->centralWidget());
    ASSERT_NE(scroller, nullptr);
    const QSize natural = Form1->size();
    // 1366 × 768 at 125 % scaling leaves 1093 × 614 device-independent pixels.
    const QRect laptop(0, 0, 1093, 614);
    Form1->fitInto(laptop);
    QTRY_VERIFY(Form1->height() < natural.height());
    const QMargins frame = Form1->windowHandle()->frameMargins();
    EXPECT_EQ(Form1->height() + frame.top() + frame.bottom(), laptop.height());
    EXPECT_EQ(Form1->ClientArea->size(), QSize(872, 629));
    // Only the height is short: the window widens by the vertical scroll bar instead of scrolling sideways
    // too.
    QTRY_VERIFY(scroller->verticalScrollBar()->isVisible());
    EXPECT_FALSE(scroller->horizontalScrollBar()->isVisible());
    EXPECT_EQ(scroller->viewport()->width(), 872);

    Form1->fitInto(Form1->screen()->availableGeometry());
    QTRY_COMPARE(Form1->size(), natural);
    QTRY_VERIFY(!scroller->verticalScrollBar()->isVisible());
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

TEST_F(WindowMenuTest, MethodPageCommandOpensWhatTheToolbarButtonOpens)
{
    Form1->N13->trigger();
    Form1->SpeedButton8->click();
    ASSERT_EQ(openedUrls.size(), 2);
    EXPECT_EQ(openedUrls[0], openedUrls[1]);
}

TEST_F(WindowMenuTest, AboutOpensTheMethodPageShippedWithTheProgramInTheBrowser)
{
    Form1->SpeedButton8->click();
    ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    ASSERT_EQ(openedUrls.size(), 1);
    const QUrl page = openedUrls.front();
    ASSERT_TRUE(page.isLocalFile()) << page.toString().toStdString();
    EXPECT_EQ(QFileInfo(page.toLocalFile()).absolutePath(),
              QFileInfo(QStringLiteral(COBB_PROGRAM_DIR)).absoluteFilePath());
    // The worked example carries the numbers the program computes for the 1928 data.
    const QString text = QString::fromUtf8(contents(page.toLocalFile()));
    for (const QString& piece :
         {QStringLiteral("<html lang=\"ru\""), QStringLiteral("X = ln(K/L)"),
          QStringLiteral("A = e<sup>b</sup>"), QStringLiteral("0,254133"), QStringLiteral("1,014651"),
          QStringLiteral("94,171"), QStringLiteral("American Economic Review")})
        EXPECT_TRUE(text.contains(piece)) << piece.toStdString();
}

TEST_F(WindowMenuTest, WithoutABrowserTheMessageGivesTheMethodPagesPath)
{
    browserOpens = false;
    Form1->SpeedButton8->click();
    ASSERT_EQ(openedUrls.size(), 1);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().contains(QDir::toNativeSeparators(openedUrls.front().toLocalFile())))
        << errors.front().toStdString();
}

TEST_F(WindowMenuTest, AMissingMethodPageIsNamedWithThePlacesLookedIn)
{
    data_files::SetFolders({folder.path()});
    Form1->SpeedButton8->click();
    EXPECT_TRUE(openedUrls.isEmpty());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().contains(QStringLiteral("«method.html»"))) << errors.front().toStdString();
    EXPECT_TRUE(errors.front().contains(QDir(folder.path()).filePath(QStringLiteral("method.html"))));
}

}  // namespace
