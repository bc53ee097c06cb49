#include "app/startup.h"
#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "forms/Unit3.h"
#include "forms/Unit4.h"
#include "tests/forms/gui_fixture.h"

#include <QTimer>

using StartupTest = GuiTest;

TEST_F(StartupTest, CreatesFourWindowsAndShowsOnlyTheMainOne)
{
    CreateWindows();
    ASSERT_NE(Form1, nullptr);
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_EQ(Form1->windowTitle(), QStringLiteral("Производственная  функция Кобба-Дугласа"));
    // Headers are in place by the time the window is first on screen.
    EXPECT_EQ(Form1->StringGrid1->model()->headerData(1, Qt::Horizontal).toString(),
              QStringLiteral("Производство(Y)"));
    for (QWidget* hidden : std::initializer_list<QWidget*>{Form2, AboutBox1, Form4}) {
        ASSERT_NE(hidden, nullptr);
        EXPECT_FALSE(hidden->isVisible());
    }
    DestroyWindows();
}

TEST_F(StartupTest, ExitButtonEndsTheProgramAlthoughOtherWindowsExist)
{
    CreateWindows();
    Form1->workbook().observations.setCell(model::ObservationColumn::kY, 1, "123");  // unsaved data: no question is asked
    QTimer::singleShot(0, Form1->SpeedButton9, &QToolButton::click);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(2); });
    watchdog.start(5000);
    EXPECT_EQ(QCoreApplication::exec(), 0) << "the program did not end";
    EXPECT_FALSE(Form1->isVisible());
    DestroyWindows();
}
