#include "forms/Unit1.h"
#include "forms/data_files.h"
#include "tests/forms/main_window_fixture.h"

#include <QMenu>
#include <QTest>

#include <memory>

namespace {

class MainWindowTest : public MainWindowFixture {
protected:
    int observationRows() const { return window->StringGrid1->model()->rowCount(); }
    int calculationRows() const { return window->StringGrid3->model()->rowCount(); }
    QString header(StringGrid* grid, int column) const
    {
        return grid->model()->headerData(column, Qt::Horizontal).toString();
    }
};

TEST_F(MainWindowTest, ShowsTheHeadersAndWidthsOfTheThreeTables)
{
    const QStringList observation{"  Год ", "Производство(Y)", "Капитал (K)", "Труд (L)"};
    const QStringList calculation{" Год",  " X",      " Z",   " X*Z",        " X^2",
                                  " Z(X)", " Z-Z(X)", " Z^2", "Z-Z(X)/Z*100"};
    const QStringList fit{"Год", "Производство(Y)", "ПФ (Кобба-Дугласа)"};
    for (int column = 0; column < observation.size(); ++column)
        EXPECT_EQ(header(window->StringGrid1, column), observation[column]);
    for (int column = 0; column < calculation.size(); ++column)
        EXPECT_EQ(header(window->StringGrid3, column), calculation[column]);
    for (int column = 0; column < fit.size(); ++column)
        EXPECT_EQ(header(window->StringGrid2, column), fit[column]);

    EXPECT_EQ(window->StringGrid1->columnWidth(0), 42);
    EXPECT_EQ(window->StringGrid1->columnWidth(1), 93);
    // Result columns may grow to fit their text, never below their set widths.
    EXPECT_GE(window->StringGrid3->columnWidth(0), 40);
    EXPECT_GE(window->StringGrid3->columnWidth(8), 64);
    EXPECT_GE(window->StringGrid2->columnWidth(2), 140);
    EXPECT_EQ(window->workbook().calculation.columnWidth(8), 64);
}

TEST_F(MainWindowTest, HasTheLayoutOfTheMainWindow)
{
    EXPECT_EQ(window->centralWidget()->size(), QSize(872, 629));
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    const QStringList captions{"Новая ", "Окрыть", "Сохранить", "Вычислить", "О программе", "Выход"};
    const QList<QToolButton*> buttons{window->SpeedButton5, window->SpeedButton6, window->SpeedButton7,
                                      window->SpeedButton2, window->SpeedButton8, window->SpeedButton9};
    for (int i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->text(), captions[i]);
        EXPECT_FALSE(buttons[i]->icon().isNull()) << captions[i].toStdString();
    }
    EXPECT_EQ(window->w->currentWidget(), window->TabSheet1);
    EXPECT_EQ(window->LabeledEdit1->text(), "1");
    EXPECT_EQ(window->LabeledEdit1->labelText(), QStringLiteral("Кол-во наблюдений"));
    EXPECT_EQ(window->GroupBox2->title(), QStringLiteral("Результаы"));
    for (QLabel* label : {window->Label4, window->Label2, window->Label3, window->Label6, window->Label5})
        EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(window->Label6->text(), QStringLiteral("Aср="));
    EXPECT_EQ(window->PopupMenu1->actions().size(), 2);
    EXPECT_EQ(window->N5->text(), QStringLiteral("Очистить"));
    EXPECT_EQ(window->N7->text(), QStringLiteral("Загрузить"));
    EXPECT_EQ(window->Chart1->chart()->title(), "TChart");
}

TEST_F(MainWindowTest, SpinnerSteppedDownFromOneComesBackToOne)
{
    window->UpDown1->downButton()->click();
    EXPECT_EQ(window->LabeledEdit1->text(), "1");
    EXPECT_EQ(observationRows(), 1);
    EXPECT_EQ(calculationRows(), 1);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(MainWindowTest, SpinnerAndArrowKeysStepTheCountAndNumberTheRows)
{
    window->UpDown1->upButton()->click();
    window->UpDown1->upButton()->click();
    EXPECT_EQ(window->LabeledEdit1->text(), "3");
    QTest::keyClick(window->LabeledEdit1, Qt::Key_Up);
    EXPECT_EQ(window->LabeledEdit1->text(), "4");
    ASSERT_EQ(observationRows(), 4);
    ASSERT_EQ(calculationRows(), 4);
    for (int row = 1; row <= 4; ++row) {
        EXPECT_EQ(cellText(window->StringGrid1, model::ObservationColumn::kYear, row), QString::number(row));
        EXPECT_EQ(cellText(window->StringGrid3, model::CalculationColumn::kYear, row), QString::number(row));
    }
}

TEST_F(MainWindowTest, SpinnerStepsFromATypedCountAndNeverLowersItGoingUp)
{
    struct Case {
        const char* typed;
        bool up;
        const char* shown;
    };
    const Case cases[] = {
        {"150", true, "151"},  // above the old 100-row limit
        {"150", false, "149"},
        {"9999", true, "10000"},
        {"10000", true, "10000"},
    };
    for (const Case& test : cases) {
        typeIntoField(window->LabeledEdit1, test.typed);
        (test.up ? window->UpDown1->upButton() : window->UpDown1->downButton())->click();
        EXPECT_EQ(window->LabeledEdit1->text(), test.shown) << test.typed << (test.up ? " up" : " down");
        EXPECT_EQ(observationRows(), QString(test.shown).toInt()) << test.typed;
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(MainWindowTest, TypingTwelvePassesThroughOne)
{
    QList<int> rowCounts;
    QObject::connect(window->LabeledEdit1, &QLineEdit::textChanged,
                     [this, &rowCounts] { rowCounts.append(observationRows()); });
    typeIntoField(window->LabeledEdit1, "12");
    EXPECT_EQ(rowCounts, (QList<int>{1, 12}));
    EXPECT_EQ(calculationRows(), 12);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(MainWindowTest, CountFieldSwallowsWhatIsNotADigit)
{
    typeIntoField(window->LabeledEdit1, "a-. 3");
    EXPECT_EQ(window->LabeledEdit1->text(), "3");
    EXPECT_EQ(observationRows(), 3);
}

TEST_F(MainWindowTest, RefusedCountShowsTheMessageAndKeepsTheTables)
{
    struct Case {
        QString text;
        QString message;
    };
    const Case cases[] = {
        {"1,5", "'1,5' is not a valid integer value"},
        {"", "'' is not a valid integer value"},
        {"10001", "Количество наблюдений должно быть от 0 до 10000, а не 10001."},
    };
    window->LabeledEdit1->setText("2");
    for (const Case& test : cases) {
        errors.clear();
        deliver([&] { window->LabeledEdit1->setText(test.text); });
        EXPECT_EQ(errors, QStringList{test.message}) << test.text.toStdString();
        EXPECT_EQ(observationRows(), 2);
        EXPECT_EQ(calculationRows(), 2);
        window->LabeledEdit1->setText("2");
    }
}

TEST_F(MainWindowTest, DoubleZeroLeavesTheHeaderRowAlone)
{
    window->LabeledEdit1->setText("00");
    EXPECT_EQ(window->LabeledEdit1->text(), "00");
    EXPECT_EQ(observationRows(), 0);
    EXPECT_EQ(calculationRows(), 0);
}

TEST_F(MainWindowTest, CellsTakeOnlyDigitsAndTheDecimalSeparator)
{
    typeIntoCell(window->StringGrid1, model::ObservationColumn::kY, 1, "a-. 1x2,5");
    EXPECT_EQ(cellText(window->StringGrid1, model::ObservationColumn::kY, 1), "12,5");
    typeIntoCell(window->StringGrid1, model::ObservationColumn::kYear, 1, "19y99");
    EXPECT_EQ(cellText(window->StringGrid1, model::ObservationColumn::kYear, 1), "1999");
}

TEST_F(MainWindowTest, LoweringAndRaisingTheCountBringsBackHiddenRows)
{
    window->LabeledEdit1->setText("5");
    typeIntoCell(window->StringGrid1, model::ObservationColumn::kY, 5, "77");
    window->LabeledEdit1->setText("3");
    EXPECT_EQ(observationRows(), 3);
    window->LabeledEdit1->setText("5");
    EXPECT_EQ(cellText(window->StringGrid1, model::ObservationColumn::kY, 5), "77");
    EXPECT_EQ(window->StringGrid1->model()->index(4, model::ObservationColumn::kY).data().toString(), "77");
}

TEST_F(MainWindowTest, AboutButtonOpensTheMethodPageAndChangesNothing)
{
    window->LabeledEdit1->setText("2");
    window->workbook().observations.setCell(model::ObservationColumn::kY, 1, "5");
    const QStringList previousFolders = data_files::SetFolders({QStringLiteral(COBB_PROGRAM_DIR)});
    window->SpeedButton8->click();
    data_files::SetFolders(previousFolders);
    ASSERT_EQ(openedUrls.size(), 1);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_EQ(cellText(window->StringGrid1, model::ObservationColumn::kY, 1), "5");
    EXPECT_EQ(window->LabeledEdit1->text(), "2");
    EXPECT_EQ(window->Label2->text(), "a=");
    EXPECT_EQ(window->alfa, 0);
}

}  // namespace
