#include "forms/Unit1.h"
#include "forms/Unit4.h"
#include "tests/forms/gui_fixture.h"

#include <QTest>

#include <cmath>
#include <memory>

namespace {

class ForecastWindowTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        main = std::make_unique<TForm1>();
        // Wired as the start-up code wires it: the coefficients the main window last estimated.
        window = std::make_unique<TForm4>(
            [main = main.get()] { return model::ForecastBasisOf(main->workbook()); });
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void TearDown() override
    {
        window.reset();
        main.reset();
        GuiTest::TearDown();
    }

    // Puts K and L into data rows 1, 2, ... as a program would, bypassing the key filter.
    void fill(std::initializer_list<std::pair<const char*, const char*>> rows)
    {
        window->LabeledEdit1->setText(QString::number(rows.size()));
        int row = 1;
        for (const auto& [k, l] : rows) {
            window->table().setCell(model::ForecastColumn::kK, row, k);
            window->table().setCell(model::ForecastColumn::kL, row, l);
            ++row;
        }
    }

    QString forecast(int row) const { return cellText(window->StringGrid1, model::ForecastColumn::kY, row); }
    QString interval(int row) const
    {
        return cellText(window->StringGrid1, model::ForecastColumn::kInterval, row);
    }
    int rows() const { return window->StringGrid1->model()->rowCount(); }

    // A·K^a·L^(1−a) with 6 decimals and the Russian comma.
    static QString expected(double a, double A, double k, double l)
    {
        return QString::number(A * std::pow(k, a) * std::pow(l, 1 - a), 'f', 6).replace('.', ',');
    }

    std::unique_ptr<TForm1> main;
    std::unique_ptr<TForm4> window;
};

TEST_F(ForecastWindowTest, HasTheLayoutAndHeadersOfTheForecastWindow)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Прогнозирование показателей"));
    // 190 pixels wider than 562 for the prediction interval's column.
    EXPECT_EQ(window->frameGeometry().size(), QSize(752, 497));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(window->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(window->Panel2->height(), 47);
    EXPECT_EQ(window->StringGrid1->geometry(), QRect(28, 16, 691, 365));

    const QStringList headers{"  Год ", "ОПФ(К)", "Численость (L)", "Прогноз (Y)", "95 % интервал прогноза"};
    const int widths[] = {40, 121, 124, 149, 190};
    for (int column = 0; column < model::ForecastColumn::kCount; ++column) {
        EXPECT_EQ(window->StringGrid1->model()->headerData(column, Qt::Horizontal).toString(),
                  headers[column]);
        EXPECT_EQ(window->StringGrid1->columnWidth(column), widths[column]);
    }
    EXPECT_EQ(window->LabeledEdit1->labelText(), QStringLiteral("Кол-во наблюдений"));
    EXPECT_EQ(window->LabeledEdit1->text(), "1");
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(cellText(window->StringGrid1, model::ForecastColumn::kYear, 1), "1");
}

TEST_F(ForecastWindowTest, BeforeAnyEstimationEveryForecastIsZero)
{
    fill({{"100", "50"}, {"3,5", "2"}});
    window->SpeedButton1->click();
    EXPECT_EQ(forecast(1), "0,000000");
    EXPECT_EQ(forecast(2), "0,000000");
    EXPECT_EQ(interval(1), QStringLiteral("не определяется"));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ForecastWindowTest, ShowsThePredictionIntervalOfTheFitBesideTheForecast)
{
    openChoice = QStringLiteral(COBB_EXAMPLES_DIR "/cobb-douglas-1928.txt");
    main->SpeedButton6->click();
    main->SpeedButton2->click();
    ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

    fill({{"450", "170"}, {"200", "130"}});
    window->SpeedButton1->click();
    // R: exp(predict(lm(z ~ x), data.frame(x = log(450 / 170)), interval = "prediction")) * 170
    // gives 220,904335 in [193,866675; 251,712808]; these rest on the six-decimal logarithms.
    EXPECT_EQ(forecast(1), "220,904191");
    EXPECT_EQ(interval(1), "[193,866518; 251,712683]");
    EXPECT_EQ(forecast(2), "147,165178");
    EXPECT_TRUE(interval(2).startsWith("[130,41"));
}

TEST_F(ForecastWindowTest, UsesTheCoefficientsEstimatedWhenPressed)
{
    model::Table& observations = main->workbook().observations;
    main->LabeledEdit1->setText("3");
    const char* data[][3] = {{"10", "20", "5"}, {"14", "30", "6"}, {"17", "45", "6,5"}};
    for (int row = 1; row <= 3; ++row)
        for (int column = model::ObservationColumn::kY; column <= model::ObservationColumn::kL; ++column)
            observations.setCell(column, row, data[row - 1][column - 1]);
    main->SpeedButton2->click();
    ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    const double a = main->alfa;
    const double A = main->A;
    ASSERT_GT(a, 0);
    ASSERT_GT(A, 0);

    fill({{"100", "50"}, {"0", "7"}, {"2,5", "0"}});
    window->SpeedButton1->click();
    EXPECT_EQ(forecast(1), expected(a, A, 100, 50));
    EXPECT_EQ(forecast(2), "0,000000");
    EXPECT_EQ(forecast(3), "0,000000");

    // A later estimation does not reach the table until the command runs again.
    main->alfa = 0.5;
    main->A = 2;
    EXPECT_EQ(forecast(1), expected(a, A, 100, 50));
    window->SpeedButton1->click();
    EXPECT_EQ(forecast(1), "141,421356");
}

TEST_F(ForecastWindowTest, RowWithoutLabourEndsTheForecast)
{
    main->alfa = 0.5;
    main->A = 1;
    fill({{"4", "9"}, {"16", ""}, {"25", "36"}});
    window->table().setCell(model::ForecastColumn::kY, 3, "old");
    window->SpeedButton1->click();
    EXPECT_EQ(forecast(1), "6,000000");
    EXPECT_EQ(forecast(2), "");
    EXPECT_EQ(forecast(3), "old");
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ForecastWindowTest, FaultInARowIsReportedAndRowsAboveKeepTheirForecast)
{
    struct Case {
        const char* k;
        const char* l;
        const char* message;
    };
    const Case cases[] = {
        {"1,2,3", "4", "'1,2,3' is not a valid floating point value"},
        {"4", "x", "'x' is not a valid floating point value"},
        {"-4", "9", "Invalid floating point operation"},
    };
    main->alfa = 0.5;
    main->A = 1;
    for (const Case& test : cases) {
        errors.clear();
        fill({{"4", "9"}, {test.k, test.l}, {"25", "36"}});
        for (int row = 1; row <= 3; ++row)
            window->table().setCell(model::ForecastColumn::kY, row, "");
        deliver([&] { window->SpeedButton1->click(); });
        ASSERT_EQ(errors.size(), 1) << test.k;
        EXPECT_TRUE(errors.front().contains(test.message)) << errors.front().toStdString();
        EXPECT_TRUE(errors.front().contains(QStringLiteral("Строка 2"))) << errors.front().toStdString();
        EXPECT_EQ(forecast(1), "6,000000") << test.k;
        EXPECT_EQ(forecast(2), "") << test.k;
        EXPECT_EQ(forecast(3), "") << test.k;
    }
}

TEST_F(ForecastWindowTest, CountFieldResizesAndNumbersTheTable)
{
    struct Case {
        QString text;
        QString shown;
        int rows;
        QString message;  // empty: accepted
    };
    const Case cases[] = {
        {"4", "4", 4, ""},
        {"0", "1", 1, ""},
        {"00", "00", 0, ""},
        {"1,5", "1,5", 2, "'1,5' is not a valid integer value"},
        {"10001", "10001", 2, "Количество наблюдений должно быть от 0 до 10000, а не 10001."},
    };
    for (const Case& test : cases) {
        window->LabeledEdit1->setText("2");
        window->table().setCell(model::ForecastColumn::kYear, 2, "2020");
        errors.clear();
        deliver([&] { window->LabeledEdit1->setText(test.text); });
        EXPECT_EQ(errors, test.message.isEmpty() ? QStringList() : QStringList{test.message})
            << test.text.toStdString();
        EXPECT_EQ(window->LabeledEdit1->text(), test.shown);
        EXPECT_EQ(rows(), test.rows) << test.text.toStdString();
        for (int row = 1; test.message.isEmpty() && row <= test.rows; ++row)
            EXPECT_EQ(cellText(window->StringGrid1, model::ForecastColumn::kYear, row), QString::number(row));
    }

    window->LabeledEdit1->setText("1");
    window->UpDown1->downButton()->click();
    EXPECT_EQ(window->LabeledEdit1->text(), "1");
    EXPECT_EQ(rows(), 1);
    window->UpDown1->upButton()->click();
    EXPECT_EQ(rows(), 2);
    window->LabeledEdit1->setText("150");
    window->UpDown1->upButton()->click();
    EXPECT_EQ(window->LabeledEdit1->text(), "151");
    EXPECT_EQ(rows(), 151);
}

TEST_F(ForecastWindowTest, ClearEmptiesEveryRowAndLeavesOneNumberedRow)
{
    main->alfa = 0.5;
    main->A = 1;
    fill({{"4", "9"}, {"16", "1"}, {"25", "36"}});
    window->SpeedButton1->click();
    ASSERT_EQ(forecast(3), "30,000000");

    window->SpeedButton2->click();
    EXPECT_EQ(window->LabeledEdit1->text(), "1");
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(cellText(window->StringGrid1, model::ForecastColumn::kYear, 1), "1");
    EXPECT_EQ(cellText(window->StringGrid1, model::ForecastColumn::kK, 1), "");
    EXPECT_EQ(forecast(1), "");
    // The rows were erased, not merely hidden.
    window->LabeledEdit1->setText("3");
    for (int column = model::ForecastColumn::kK; column < model::ForecastColumn::kCount; ++column)
        EXPECT_EQ(cellText(window->StringGrid1, column, 3), "") << column;

    // With the count already "1", clearing still empties the row.
    window->LabeledEdit1->setText("1");
    window->table().setCell(model::ForecastColumn::kYear, 1, "2021");
    window->table().setCell(model::ForecastColumn::kK, 1, "5");
    window->SpeedButton2->click();
    EXPECT_EQ(cellText(window->StringGrid1, model::ForecastColumn::kYear, 1), "1");
    EXPECT_EQ(cellText(window->StringGrid1, model::ForecastColumn::kK, 1), "");
}

TEST_F(ForecastWindowTest, CellsTakeOnlyDigitsAndTheComma)
{
    typeIntoCell(window->StringGrid1, model::ForecastColumn::kK, 1, "a-. 1x2,5");
    EXPECT_EQ(cellText(window->StringGrid1, model::ForecastColumn::kK, 1), "12,5");
}

TEST_F(ForecastWindowTest, CountFieldHasNoKeyFilter)
{
    typeIntoField(window->LabeledEdit1, "2x");
    EXPECT_EQ(window->LabeledEdit1->text(), "2x");
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(rows(), 2);
}

TEST_F(ForecastWindowTest, ExitHidesTheWindow)
{
    window->SpeedButton4->click();
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
