#include "app/startup.h"
#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "forms/Unit3.h"
#include "forms/Unit4.h"
#include "tests/forms/gui_fixture.h"

#include <QCoreApplication>
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
    Form1->workbook().observations.setCell(model::ObservationColumn::kY, 1,
                                           "123");  // unsaved data: no question is asked
    QTimer::singleShot(0, Form1->SpeedButton9, &QToolButton::click);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(2); });
    watchdog.start(5000);
    EXPECT_EQ(QCoreApplication::exec(), 0) << "the program did not end";
    EXPECT_FALSE(Form1->isVisible());
    DestroyWindows();
}

TEST_F(StartupTest, AFileNamedOnTheCommandLineLoadsOnceTheProgramRuns)
{
    const QString example = QStringLiteral(COBB_EXAMPLES_DIR "/cobb-douglas-1928.txt");
    const QString missing = path("missing.txt");
    struct Case {
        QStringList arguments;
        QString count;
        QString error;  // what the message ends with, or empty for none
    };
    const Case cases[] = {
        {{"cobb-douglas"}, "1", {}},
        {{"cobb-douglas", example}, "24", {}},
        {{"cobb-douglas", missing}, "1", QStringLiteral("Не удалось прочитать файл «%1».").arg(missing)},
    };
    for (const Case& test : cases) {
        errors.clear();
        CreateWindows();
        OpenStartFile(test.arguments);
        EXPECT_EQ(Form1->LabeledEdit1->text(), "1") << "loaded before the program runs";
        QCoreApplication::processEvents();
        EXPECT_EQ(Form1->LabeledEdit1->text(), test.count) << test.arguments.join(' ').toStdString();
        if (test.error.isEmpty()) {
            EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
        } else {
            ASSERT_EQ(errors.size(), 1);
            EXPECT_TRUE(errors.front().endsWith(test.error)) << errors.front().toStdString();
        }
        DestroyWindows();
    }
}
