#include "forms/Unit1.h"
#include "forms/file_chooser.h"
#include "forms/translations.h"
#include "tests/forms/gui_fixture.h"

#include <QChart>
#include <QFile>
#include <QLineSeries>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

TEST(TranslationsTest, StandardButtonsSpeakRussian)
{
    ASSERT_TRUE(InstallRussianTranslations());
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Open | QMessageBox::Cancel | QMessageBox::Save);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Отмена"));
    EXPECT_EQ(box.button(QMessageBox::Open)->text(), QStringLiteral("Открыть"));
    EXPECT_EQ(box.button(QMessageBox::Save)->text(), QStringLiteral("Сохранить"));
}

struct LocaleCase {
    QLocale::Language language;
    QLocale::Territory territory;
    QChar separator;
    QChar other;
};

// One window under a pinned locale: what a user can type, sees and saves.
class LocaleTest : public GuiTest, public ::testing::WithParamInterface<LocaleCase> {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        QLocale::setDefault(QLocale(GetParam().language, GetParam().territory));
        saveChoice = folder.filePath("data.txt");
        window = std::make_unique<TForm1>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void TearDown() override
    {
        window.reset();
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        GuiTest::TearDown();
    }

    QString number(const char* digits) const { return QString(digits).replace(',', GetParam().separator); }

    std::unique_ptr<TForm1> window;
};

TEST_P(LocaleTest, OneSeparatorIsTypedShownSavedAndDrawn)
{
    typeIntoField(window->LabeledEdit1, "3");
    const char* rows[3][3] = {{"2", "1", "1"}, {"3,5", "2", "1"}, {"8", "8", "2"}};
    for (int row = 1; row <= 3; ++row)
        for (int column = model::ObservationColumn::kY; column <= model::ObservationColumn::kL; ++column)
            typeIntoCell(window->StringGrid1, column, row, number(rows[row - 1][column - 1]));
    // The separator of another locale cannot be typed.
    typeIntoCell(window->StringGrid1, model::ObservationColumn::kYear, 1,
                 QString("1") + GetParam().other + "5");
    EXPECT_EQ(cellText(window->StringGrid1, model::ObservationColumn::kYear, 1), "15");
    EXPECT_EQ(cellText(window->StringGrid1, model::ObservationColumn::kY, 2), number("3,5"));

    window->SpeedButton2->click();
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_EQ(window->Label2->text(), number("a=0,500000"));
    EXPECT_EQ(cellText(window->StringGrid3, model::CalculationColumn::kX, 2), number("0,693147"));
    EXPECT_TRUE(window->Chart1->chart()->localizeNumbers());
    EXPECT_EQ(window->Chart1->chart()->locale().decimalPoint(), QString(GetParam().separator));

    window->SpeedButton7->click();
    QFile saved(folder.filePath("data.txt"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), number("2:1:1\r\n3,5:2:1\r\n8:8:2\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Locales, LocaleTest,
                         ::testing::Values(LocaleCase{QLocale::Russian, QLocale::Russia, ',', '.'},
                                           LocaleCase{QLocale::English, QLocale::UnitedStates, '.', ','}),
                         [](const auto& info) {
                             return info.param.separator == ',' ? "Russian" : "English";
                         });

}  // namespace
