#include "forms/Unit1.h"
#include "forms/file_chooser.h"
#include "tests/forms/main_window_fixture.h"

#include <QCategoryAxis>
#include <QFile>
#include <QLineSeries>
#include <QTest>

#include <memory>

namespace {

// Drives the commands of the main window.
class MainWindowCommandsTest : public MainWindowFixture {};

TEST_F(MainWindowCommandsTest, ComputeShowsCoefficientsTablesAndChart)
{
    typeSmallDataSet();
    typeIntoCell(window->StringGrid1, model::ObservationColumn::kYear, 1, "2001");
    window->SpeedButton2->click();

    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_EQ(window->Label2->text(), "a=0,500000");
    EXPECT_EQ(window->Label4->text(), "A=2,147193");
    EXPECT_EQ(window->Label3->text(), "b=0,7642");
    EXPECT_EQ(window->Label6->text(), QStringLiteral("Aср=8,902 %"));
    EXPECT_EQ(window->Label5->text(), "R2= 97,010 %");
    EXPECT_EQ(window->LabeledEdit2->text(), "Y=2,147193*(K^0,500000)*(L^0,500000)");
    EXPECT_NEAR(window->alfa, 0.5, 1e-6);
    EXPECT_NEAR(window->A, 2.147193, 1e-6);

    ASSERT_EQ(window->StringGrid3->model()->rowCount(), 4);
    EXPECT_EQ(cellText(window->StringGrid3, model::CalculationColumn::kYear, 4), "Sum");
    EXPECT_EQ(cellText(window->StringGrid3, model::CalculationColumn::kX, 2), "0,693147");
    EXPECT_EQ(cellText(window->StringGrid2, model::FitColumn::kYear, 1), "2001");
    EXPECT_EQ(cellText(window->StringGrid2, model::FitColumn::kFittedY, 3), "8,589");

    ASSERT_EQ(window->Series1->count(), 3);
    ASSERT_EQ(window->Series2->count(), 3);
    EXPECT_EQ(window->Series1->at(1), QPointF(1, 3.5));
    EXPECT_NEAR(window->Series2->at(2).y(), 8.5888, 1e-3);
    auto* years = static_cast<QCategoryAxis*>(window->Chart1->chart()->axes(Qt::Horizontal).front());
    EXPECT_EQ(years->categoriesLabels(), (QStringList{"2001", "2", "3"}));

    // A second run draws the same lines, not twice as many points.
    window->SpeedButton2->click();
    EXPECT_EQ(window->Series1->count(), 3);
    EXPECT_EQ(window->StringGrid3->model()->rowCount(), 4);
}

TEST_F(MainWindowCommandsTest, FailedComputeShowsTheMessageAndWhatWasWritten)
{
    typeSmallDataSet();
    window->SpeedButton2->click();
    window->workbook().observations.setCell(model::ObservationColumn::kL, 2, "0");
    deliver([this] { window->SpeedButton2->click(); });

    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().startsWith("Floating point division by zero\n"))
        << errors.front().toStdString();
    EXPECT_TRUE(errors.front().contains(QStringLiteral("Строка 2"))) << errors.front().toStdString();
    // The run had reset the coefficients and emptied the chart before it failed.
    EXPECT_EQ(window->Label2->text(), "a=");
    EXPECT_EQ(window->alfa, 0);
    EXPECT_EQ(window->Series1->count(), 0);
}

TEST_F(MainWindowCommandsTest, ClearAfterAComputationKeepsTheChartAndFitTable)
{
    typeSmallDataSet();
    window->SpeedButton2->click();
    window->N5->trigger();

    EXPECT_EQ(window->LabeledEdit1->text(), "1");
    ASSERT_EQ(window->StringGrid1->model()->rowCount(), 1);
    EXPECT_EQ(cellText(window->StringGrid1, model::ObservationColumn::kYear, 1), "1");
    EXPECT_EQ(cellText(window->StringGrid1, model::ObservationColumn::kY, 1), "");
    ASSERT_EQ(window->StringGrid3->model()->rowCount(), 1);
    EXPECT_EQ(cellText(window->StringGrid3, model::CalculationColumn::kX, 1), "");
    for (QLabel* label : {window->Label2, window->Label4, window->Label3, window->Label6, window->Label5})
        EXPECT_EQ(label->text().back(), '=');
    EXPECT_EQ(window->alfa, 0);
    EXPECT_EQ(window->Series1->count(), 3);
    EXPECT_EQ(window->StringGrid2->model()->rowCount(), 3);
    EXPECT_FALSE(window->LabeledEdit2->text().isEmpty());
}

TEST_F(MainWindowCommandsTest, NewWithOneRowEmptiesItAndTheFitTable)
{
    typeIntoCell(window->StringGrid1, model::ObservationColumn::kY, 1, "5");
    window->workbook().fit.setCell(model::FitColumn::kY, 1, "5");
    window->Label2->setText("a=1");
    window->SpeedButton5->click();

    EXPECT_EQ(cellText(window->StringGrid1, model::ObservationColumn::kYear, 1), "");
    EXPECT_EQ(cellText(window->StringGrid1, model::ObservationColumn::kY, 1), "");
    EXPECT_EQ(cellText(window->StringGrid2, model::FitColumn::kY, 1), "");
    EXPECT_EQ(cellText(window->StringGrid3, model::CalculationColumn::kYear, 1), "1");
}

TEST_F(MainWindowCommandsTest, SavesTheTableAndLoadsItBack)
{
    typeSmallDataSet();
    typeIntoCell(window->StringGrid1, model::ObservationColumn::kYear, 2, "1999");
    saveChoice = path("data");
    window->SpeedButton7->click();
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_EQ(contents(path("data.txt")), "2:1:1\r\n3,5:2:1\r\n8:8:2\r\n");

    window->SpeedButton5->click();
    openChoice = path("data.txt");
    window->SpeedButton6->click();
    EXPECT_EQ(window->LabeledEdit1->text(), "3");
    ASSERT_EQ(window->StringGrid1->model()->rowCount(), 3);
    EXPECT_EQ(cellText(window->StringGrid1, model::ObservationColumn::kY, 2), "3,5");
    EXPECT_EQ(cellText(window->StringGrid1, model::ObservationColumn::kYear, 2),
              "2");  // the year is not kept in the file
    window->SpeedButton2->click();
    EXPECT_EQ(window->Label2->text(), "a=0,500000");
}

TEST_F(MainWindowCommandsTest, SavingKeepsATxtNameAndAsksBeforeReplacingAnExtendedOne)
{
    typeIntoCell(window->StringGrid1, model::ObservationColumn::kY, 1, "7");
    write(path("data.txt"), "old");

    saveChoice = path("data.txt");
    window->SpeedButton7->click();
    EXPECT_FALSE(QFile::exists(path("data.txt.txt")));
    EXPECT_EQ(contents(path("data.txt")), "7::\r\n");
    EXPECT_TRUE(overwriteQuestions.isEmpty());  // the dialog asked about this very name

    write(path("data.txt"), "old");
    saveChoice = path("data");
    overwriteAnswer = false;
    window->SpeedButton7->click();
    EXPECT_EQ(overwriteQuestions, QStringList{path("data.txt")});
    EXPECT_EQ(contents(path("data.txt")), "old");

    overwriteAnswer = true;
    window->SpeedButton7->click();
    EXPECT_EQ(contents(path("data.txt")), "7::\r\n");
}

TEST_F(MainWindowCommandsTest, FailedSaveNamesTheFile)
{
    saveChoice = path("missing/data");
    deliver([this] { window->SpeedButton7->click(); });
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(
        errors.front(),
        QStringLiteral("I/O error 2\nНе удалось записать файл «%1»: нет папки, в которой он должен быть.")
            .arg(path("missing/data.txt")));
}

TEST_F(MainWindowCommandsTest, CancelledOrVanishedLoadKeepsTheData)
{
    typeSmallDataSet();
    window->SpeedButton2->click();
    for (const QString& choice : {QString(), path("vanished.txt")}) {
        openChoice = choice;
        window->N7->trigger();
        EXPECT_EQ(window->LabeledEdit1->text(), "3");
        EXPECT_EQ(cellText(window->StringGrid1, model::ObservationColumn::kY, 3), "8");
        EXPECT_EQ(window->Label2->text(), "a=0,500000");
    }
}

TEST_F(MainWindowCommandsTest, TooLongFileIsRefusedAndChangesNothing)
{
    typeSmallDataSet();
    write(path("long.txt"), QByteArray("1:1:1\n").repeated(10001));
    openChoice = path("long.txt");
    deliver([this] { window->N7->trigger(); });
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().contains("10000")) << errors.front().toStdString();
    EXPECT_EQ(window->LabeledEdit1->text(), "3");
    EXPECT_EQ(cellText(window->StringGrid1, model::ObservationColumn::kY, 3), "8");
}

TEST_F(MainWindowCommandsTest, LoadingTellsOnceOfLinesThatAreNotObservations)
{
    struct Case {
        const char* name;
        QByteArray file;
        QString count;
        QStringList told;  // what the one warning names; none when empty
    };
    const Case cases[] = {
        {"observations only", "1:2:3\n4:5:6\n", "2", {}},
        {"a word and extra fields",
         "1:2:3\n4:5:6:7\n8:x:9\n1:y:1\n",
         "4",
         {"Строка 3: 'x' is not a valid floating point value.", "Строка 2: полей больше трёх"}},
        {"binary",
         QByteArray("\x7F"
                    "ELF\x02\x01\x01\0\x01",
                    9),
         "1",
         {"Строка 1: '"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write(path("data.txt"), c.file);
        openChoice = path("data.txt");
        warnings.clear();
        window->SpeedButton6->click();
        EXPECT_EQ(window->LabeledEdit1->text(), c.count);
        if (c.told.isEmpty()) {
            EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
            continue;
        }
        ASSERT_EQ(warnings.size(), 1);
        EXPECT_TRUE(warnings.front().startsWith("Файл загружен, но в нём не только наблюдения Y:K:L.\n"));
        for (const QString& part : c.told)
            EXPECT_TRUE(warnings.front().contains(part)) << warnings.front().toStdString();
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

    // The cells keep what the file says, a dropped file tells the same.
    write(path("data.txt"), "1:2:3\n8:x:9:7\n");
    warnings.clear();
    EXPECT_TRUE(dropOnto({QUrl::fromLocalFile(path("data.txt"))}));
    EXPECT_EQ(cellText(window->StringGrid1, 2, 2), "x");
    EXPECT_EQ(cellText(window->StringGrid1, 3, 2), "9");
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings.front().contains("Строка 2: 'x'")) << warnings.front().toStdString();
    EXPECT_TRUE(warnings.front().contains("Строка 2: полей больше трёх")) << warnings.front().toStdString();
}

}  // namespace
