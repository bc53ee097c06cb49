// The statistics page, the clipboard, pictures, the report, dropping a file
// and the keyboard shortcuts of the main window, on the real widgets.

#include "forms/Unit1.h"
#include "forms/file_chooser.h"
#include "tests/forms/main_window_fixture.h"
#include "tests/forms/pdf_text.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLineSeries>
#include <QMenuBar>
#include <QTest>
#include <QValueAxis>

#include <algorithm>
#include <memory>

#include <sys/stat.h>

namespace {

const QString kExample = QStringLiteral(COBB_EXAMPLES_DIR "/cobb-douglas-1928.txt");

class MainWindowToolsTest : public MainWindowFixture {
protected:
    void computeExample()
    {
        openChoice = kExample;
        window->SpeedButton6->click();
        window->SpeedButton2->click();
        ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    }

    // The statistics page's value on the line with `label`, or a null text.
    QString statistic(const QString& label) const
    {
        StringGrid* grid = window->StringGrid4;
        for (int row = 1; row <= grid->model()->rowCount(); ++row)
            if (cellText(grid, model::StatisticsColumn::kLabel, row) == label)
                return cellText(grid, model::StatisticsColumn::kValue, row);
        return {};
    }

    static void press(QWidget* target, QKeySequence::StandardKey key)
    {
        const QKeySequence keys(key);
        QTest::keySequence(target, keys);
    }
};

TEST_F(MainWindowToolsTest, TheChartsValueAxisDependsOnTheDataShownOnly)
{
    struct Axis {
        double minimum, maximum;
        int ticks;
    };
    const auto axis = [](const TForm1& form) {
        const auto* values = static_cast<const QValueAxis*>(form.Chart1->chart()->axes(Qt::Vertical).front());
        return Axis{values->min(), values->max(), values->tickCount()};
    };
    computeExample();
    const Axis fresh = axis(*window);
    // Round limits in round steps.
    EXPECT_EQ(fresh.minimum, 100);
    EXPECT_EQ(fresh.maximum, 250);
    EXPECT_EQ(fresh.ticks, 4);

    // Another data set charted, then the same example again.
    // Output from 100 to 190: an axis of three lines, which rounding from the
    // previous ticks carried over to the next data set.
    QFile other(path("other.txt"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("100:100:100\n150:130:110\n190:160:120\n");
    other.close();
    openChoice = other.fileName();
    window->SpeedButton6->click();
    window->SpeedButton2->click();
    ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_EQ(axis(*window).maximum, 200);
    computeExample();
    const Axis again = axis(*window);
    EXPECT_EQ(again.minimum, fresh.minimum);
    EXPECT_EQ(again.maximum, fresh.maximum);
    EXPECT_EQ(again.ticks, fresh.ticks);
}

TEST_F(MainWindowToolsTest, ComputeFillsTheStatisticsPageAndClearAndNewEmptyIt)
{
    ASSERT_EQ(window->w->count(), 4);
    EXPECT_EQ(window->w->widget(2), window->TabSheet3);
    EXPECT_EQ(window->w->tabText(2), QStringLiteral("Статистика"));
    EXPECT_EQ(window->StringGrid4->model()->rowCount(), 0);

    computeExample();
    EXPECT_EQ(statistic("a"), "0,254133");
    EXPECT_EQ(statistic(QStringLiteral("    стандартная ошибка a")), "0,041224");
    EXPECT_EQ(statistic(QStringLiteral("Проверка α + β = 1, F(1; 21)")), "0,1956");
    // The diagnostics follow the statistics on the same page, the fit in levels first.
    EXPECT_EQ(statistic(QStringLiteral("a (в уровнях)")), "0,249617");
    EXPECT_EQ(statistic(QStringLiteral("R² в уровнях")), "0,941752");
    EXPECT_EQ(statistic(QStringLiteral("Статистика Дарбина–Уотсона DW")), "1,6164");
    EXPECT_EQ(statistic(QStringLiteral("λ")), "0,006176");
    EXPECT_EQ(statistic(QStringLiteral("    24")),
              QStringLiteral("Ŷ = 209,808492; MPK = 0,123711; MPL = 0,971983"));

    window->N5->trigger();
    EXPECT_EQ(window->StringGrid4->model()->rowCount(), 0);

    computeExample();
    window->SpeedButton5->click();
    EXPECT_EQ(window->StringGrid4->model()->rowCount(), 0);
}

TEST_F(MainWindowToolsTest, AComputationThatStopsShowsNoStatistics)
{
    computeExample();
    window->workbook().observations.setCell(model::ObservationColumn::kK, 5, "");
    window->SpeedButton2->click();
    EXPECT_EQ(window->StringGrid4->model()->rowCount(), 0);
    EXPECT_EQ(window->Series3->count(), 0);
    EXPECT_EQ(window->Series4->count(), 0);
}

TEST_F(MainWindowToolsTest, TheResidualPageChartsEachYearsResidualAboutZero)
{
    EXPECT_EQ(window->w->widget(3), window->TabSheet4);
    EXPECT_EQ(window->w->tabText(3), QStringLiteral("Остатки"));
    computeExample();
    const std::vector<double>& residuals = window->workbook().diagnostics->residuals;
    ASSERT_EQ(window->Series3->count(), 24);
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(window->Series3->at(i), QPointF(i, residuals[static_cast<std::size_t>(i)])) << i;
    // Row 2 of the calculation table shows Z − Z(X) = −0,058180.
    EXPECT_NEAR(window->Series3->at(1).y(), -0.05818, 1e-6);
    EXPECT_EQ(window->Series4->points(), QList<QPointF>({{0, 0}, {23, 0}}));
    const auto* values = static_cast<QValueAxis*>(window->Chart2->chart()->axes(Qt::Vertical).front());
    EXPECT_EQ(values->min(), -values->max());
    EXPECT_GE(values->max(), *std::max_element(residuals.begin(), residuals.end()));
    EXPECT_LE(values->min(), *std::min_element(residuals.begin(), residuals.end()));
}

TEST_F(MainWindowToolsTest, CtrlCCopiesTheSelectionAndTheWholeTableWithHeaders)
{
    computeExample();
    StringGrid* grid = window->StringGrid1;
    grid->setFocus();
    grid->selectionModel()->select(QItemSelection(grid->model()->index(1, model::ObservationColumn::kY),
                                                  grid->model()->index(2, model::ObservationColumn::kL)),
                                   QItemSelectionModel::ClearAndSelect);
    press(grid, QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "101\t107\t105\n112\t114\t110\n");

    grid->selectAll();
    press(grid, QKeySequence::Copy);
    const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
    ASSERT_EQ(lines.size(), 26);  // headers, 24 rows, the empty text after the last line break
    EXPECT_EQ(lines.front(), QStringLiteral("  Год \tПроизводство(Y)\tКапитал (K)\tТруд (L)"));
    EXPECT_EQ(lines[24], "24\t240\t431\t161");

    // The calculation table selects whole rows; numbers are copied as shown.
    StringGrid* calculation = window->StringGrid3;
    calculation->setFocus();
    calculation->selectRow(1);
    press(calculation, QKeySequence::Copy);
    EXPECT_EQ(
        QGuiApplication::clipboard()->text(),
        QStringLiteral(
            "2\t0,018868\t-0,038840\t-0,000733\t0,000356\t0,019340\t-0,058180\t0,001509\t149,794027\n"));
}

TEST_F(MainWindowToolsTest, CtrlVPastesABlockAtTheCurrentCellAndRaisesTheCount)
{
    StringGrid* grid = window->StringGrid1;
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, model::ObservationColumn::kY));
    QGuiApplication::clipboard()->setText("2\t1\t1\r\n3.5\t2\t1\r\n8\t8\t2\r\n");
    press(grid, QKeySequence::Paste);

    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_EQ(window->LabeledEdit1->text(), "3");
    EXPECT_EQ(window->StringGrid3->model()->rowCount(), 3);
    EXPECT_EQ(cellText(grid, model::ObservationColumn::kY, 2), "3,5");
    EXPECT_EQ(cellText(grid, model::ObservationColumn::kYear, 3), "3");
    window->SpeedButton2->click();
    EXPECT_EQ(window->Label2->text(), "a=0,500000");
}

TEST_F(MainWindowToolsTest, ABlockWithAWordIsRefusedWhole)
{
    typeIntoCell(window->StringGrid1, model::ObservationColumn::kY, 1, "7");
    StringGrid* grid = window->StringGrid1;
    grid->setCurrentIndex(grid->model()->index(0, model::ObservationColumn::kY));
    QGuiApplication::clipboard()->setText("1;2\n3;x\n");
    deliver([&] { press(grid, QKeySequence::Paste); });

    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.front(),
              QStringLiteral("Блок не вставлен: «x» — не число.\nСтрока 2, столбец «Капитал (K)»."));
    EXPECT_EQ(window->LabeledEdit1->text(), "1");
    EXPECT_EQ(cellText(grid, model::ObservationColumn::kY, 1), "7");
    EXPECT_EQ(cellText(grid, model::ObservationColumn::kK, 1), "");
}

TEST_F(MainWindowToolsTest, CopiedObservationsPasteBackIntoANewTable)
{
    computeExample();
    StringGrid* grid = window->StringGrid1;
    grid->setFocus();
    grid->selectionModel()->select(QItemSelection(grid->model()->index(0, model::ObservationColumn::kY),
                                                  grid->model()->index(23, model::ObservationColumn::kL)),
                                   QItemSelectionModel::ClearAndSelect);
    press(grid, QKeySequence::Copy);
    window->SpeedButton5->click();
    grid->setCurrentIndex(grid->model()->index(0, model::ObservationColumn::kY));
    press(grid, QKeySequence::Paste);

    EXPECT_EQ(window->LabeledEdit1->text(), "24");
    window->SpeedButton2->click();
    EXPECT_EQ(window->Label2->text(), "a=0,254133");
}

TEST_F(MainWindowToolsTest, TypingStaysFilteredAndAnOpenEditorKeepsCtrlV)
{
    StringGrid* grid = window->StringGrid1;
    typeIntoCell(grid, model::ObservationColumn::kY, 1, "1x,5");
    EXPECT_EQ(cellText(grid, model::ObservationColumn::kY, 1), "1,5");

    // With the editor open, Ctrl+V is the editor's own paste, not a block paste.
    QGuiApplication::clipboard()->setText("2\n3\n");
    grid->setCurrentIndex(grid->model()->index(0, model::ObservationColumn::kK));
    QTest::keyClicks(grid, "4");
    QLineEdit* editor = nullptr;
    for (QLineEdit* open : grid->viewport()->findChildren<QLineEdit*>())
        if (open->isVisible())
            editor = open;
    ASSERT_NE(editor, nullptr);
    press(editor, QKeySequence::Paste);
    EXPECT_EQ(window->LabeledEdit1->text(), "1");
}

TEST_F(MainWindowToolsTest, TheChartsMenuSavesPngAndSvgPictures)
{
    computeExample();
    EXPECT_EQ(window->Chart1->contextMenuPolicy(), Qt::CustomContextMenu);
    ASSERT_TRUE(window->PopupMenu2->actions().contains(window->N14));
    EXPECT_EQ(window->N14->text(), QStringLiteral("Сохранить график…"));

    saveChoice = path("chart");
    window->N14->trigger();
    const QByteArray png = contents(path("chart.png"));
    EXPECT_TRUE(png.startsWith("\x89PNG\r\n\x1a\n")) << png.left(8).toHex().toStdString();
    QImage picture;
    ASSERT_TRUE(picture.loadFromData(png, "PNG"));
    EXPECT_EQ(picture.size(), window->Chart1->size() * 3);

    saveChoice = path("chart.SVG");
    window->N14->trigger();
    const QByteArray svg = contents(path("chart.SVG"));
    EXPECT_TRUE(svg.contains("<svg")) << svg.left(200).toStdString();
    EXPECT_TRUE(svg.contains(QStringLiteral("ПФ (Кобба-Дугласа)").toUtf8()));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(MainWindowToolsTest, TheReportIsAnA4PdfWithTheResults)
{
    QMenu* first = window->menuBar()->actions().front()->menu();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->title(), QStringLiteral("&Файл"));
    EXPECT_TRUE(first->actions().contains(window->N15));
    EXPECT_EQ(window->N15->text(), QStringLiteral("Сохранить &отчёт…"));

    computeExample();
    // The report asks for the forecast window's table, as start-up wires it.
    model::Table forecast(model::ForecastColumn::kCount);
    forecast.setCell(model::ForecastColumn::kY, 1, "220,904191");
    window->setForecastSource([&forecast] { return &forecast; });
    saveChoice = path("report");
    window->N15->trigger();
    ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    ASSERT_EQ(requests.back().filter, QStringLiteral("Документ PDF (*.pdf)"));

    const QByteArray pdf = contents(path("report.pdf"));
    ASSERT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.contains("/MediaBox [0 0 595"));  // A4, 595 × 842 points
    const QString text = PdfText(pdf);
    for (const QString& piece :
         {QStringLiteral("a=0,254133"), QStringLiteral("A=1,014651"),
          QStringLiteral("Y=1,014651*(K^0,254133)*(L^0,745867)"), QStringLiteral("Aср=55,819 %"),
          QStringLiteral("R2= 94,171 %"), QStringLiteral("0,041224"), QStringLiteral("209,808"),
          QStringLiteral("1283,826080"), QStringLiteral("Диагностика"), QStringLiteral("0,006176"),
          QStringLiteral("Остатки"), QStringLiteral("2564,648514"), QStringLiteral("Прогноз"),
          QStringLiteral("220,904191")})
        EXPECT_TRUE(text.contains(piece)) << piece.toStdString();
}

TEST_F(MainWindowToolsTest, AFailedSaveNamesTheFile)
{
    saveChoice = path("missing/report.pdf");
    deliver([this] { window->N15->trigger(); });
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().endsWith(QStringLiteral("Не удалось записать файл «%1».").arg(saveChoice)))
        << errors.front().toStdString();
}

TEST_F(MainWindowToolsTest, ADroppedObservationFileLoadsAsOpenDoes)
{
    EXPECT_FALSE(dropOnto({QUrl::fromLocalFile(path("picture.png"))}));
    EXPECT_FALSE(dropOnto({QUrl::fromLocalFile(kExample), QUrl::fromLocalFile(kExample)}));
    EXPECT_FALSE(dropOnto({QUrl("https://example.org/data.txt")}));
    EXPECT_EQ(window->LabeledEdit1->text(), "1");

    EXPECT_TRUE(dropOnto({QUrl::fromLocalFile(kExample)}));
    EXPECT_EQ(window->LabeledEdit1->text(), "24");
    EXPECT_EQ(cellText(window->StringGrid1, model::ObservationColumn::kL, 24), "161");
    EXPECT_TRUE(requests.isEmpty());  // no dialog

    // Qt hands a drag to the first widget under it that takes drops: over the
    // chart and the tables that must be the window itself.
    for (QWidget* over : {window->Chart1->viewport(), window->StringGrid1->viewport()}) {
        QWidget* target = over;
        while (target && !target->acceptDrops())
            target = target->parentWidget();
        EXPECT_EQ(target, window.get()) << over->parentWidget()->objectName().toStdString();
    }
}

// Opening a FIFO nobody writes to would freeze the window: it is refused at
// once, with plain words, and the table stays.
TEST_F(MainWindowToolsTest, ADroppedFifoIsRefusedAtOnceAndTheTableKept)
{
    ASSERT_TRUE(dropOnto({QUrl::fromLocalFile(kExample)}));
    const QString fifo = path("fifo.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);

    EXPECT_TRUE(dropOnto({QUrl::fromLocalFile(fifo)}));

    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.front(),
              QStringLiteral("File access denied\nНе удалось прочитать файл «%1»: это именованный "
                             "канал (FIFO), а не обычный файл.")
                  .arg(fifo));
    EXPECT_EQ(window->LabeledEdit1->text(), "24");
    EXPECT_EQ(cellText(window->StringGrid1, 3, 24), "161");
}

TEST_F(MainWindowToolsTest, ShortcutsRunTheToolbarCommands)
{
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->StringGrid1->setFocus();

    openChoice = kExample;
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(window->LabeledEdit1->text(), "24");
    QTest::keyClick(window.get(), Qt::Key_F9);
    EXPECT_EQ(window->Label2->text(), "a=0,254133");

    saveChoice = path("saved");
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(contents(path("saved.txt")).startsWith("100:100:100\r\n"));

    QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(cellText(window->StringGrid1, model::ObservationColumn::kY, 1), "");
    EXPECT_EQ(window->Label2->text(), "a=");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

}  // namespace
