#include "model/report.h"

#include "model/estimation.h"
#include "model/statistics.h"
#include "model/workbook.h"

#include <gtest/gtest.h>

#include <string>

namespace model {
namespace {

bool Contains(const std::string& text, const std::string& piece)
{
    return text.find(piece) != std::string::npos;
}

TEST(ReportHtml, HoldsTheTablesResultsStatisticsAndChart)
{
    Workbook book;
    SetCountText(book, "3");
    const char* data[3][3] = {{"2", "1", "1"}, {"3,5", "2", "1"}, {"8", "8", "2"}};
    for (int row = 1; row <= 3; ++row)
        for (int column = ObservationColumn::kY; column <= ObservationColumn::kL; ++column)
            book.observations.setCell(column, row, data[row - 1][column - 1]);
    ASSERT_TRUE(ComputeWithStatistics(book, ',').complete());
    book.observations.setCell(ObservationColumn::kYear, 2, "<1999 & 2000>");

    const std::string html = ReportHtml(book, ',', "chart.png", "residuals.png");
    for (const std::string piece :
         {"<th>Производство(Y)</th>", "<td align=\"right\">3,5</td>", "&lt;1999 &amp; 2000&gt;",
          "<td align=\"right\">Sum</td>", "a=0,500000", "A=2,147193", "b=0,7642",
          "Y=2,147193*(K^0,500000)*(L^0,500000)", "Aср=8,902 %", "R2= 97,010 %",
          "<td>&nbsp;&nbsp;&nbsp;&nbsp;стандартная ошибка a</td><td>0,177452</td>",
          "<td align=\"right\">8,589</td>", "<img src=\"chart.png\"", "<h3>Диагностика</h3>",
          "<td>Статистика Дарбина–Уотсона DW</td><td>3,0000</td>",
          "<b>Технический прогресс: Z = b + a·X + λ·t, t = 1 … n</b>",
          "<h3>Остатки</h3><p><img src=\"residuals.png\""})
        EXPECT_TRUE(Contains(html, piece)) << piece;
    EXPECT_FALSE(Contains(html, "<1999"));

    EXPECT_FALSE(Contains(ReportHtml(book, ',', "chart.png"), "<h3>Остатки</h3>"));

    book.statistics.reset();
    book.diagnostics.reset();
    const std::string empty = ReportHtml(book, ',', "chart.png");
    EXPECT_TRUE(Contains(empty, "<h3>Статистика</h3><p>Не вычислена.</p>"));
    EXPECT_TRUE(Contains(empty, "<h3>Диагностика</h3><p>Не вычислена.</p>"));
}

TEST(ReportHtml, HoldsTheForecastsOnlyWhenTheForecastTableHasOne)
{
    Workbook book;
    Table forecast(ForecastColumn::kCount);
    forecast.setHeaders({"Год", "Капитал (K)", "Труд (L)", "Прогноз Y", "95 % интервал прогноза"});
    forecast.setCell(ForecastColumn::kYear, 1, "1923");
    forecast.setCell(ForecastColumn::kK, 1, "450");
    forecast.setCell(ForecastColumn::kL, 1, "170");
    EXPECT_FALSE(Contains(ReportHtml(book, ',', "chart.png", {}, &forecast), "<h3>Прогноз</h3>"));

    forecast.setCell(ForecastColumn::kY, 1, "220,904191");
    forecast.setCell(ForecastColumn::kInterval, 1, "[193,866518; 251,712683]");
    const std::string html = ReportHtml(book, ',', "chart.png", {}, &forecast);
    for (const std::string piece : {"<h3>Прогноз</h3>", "<th>95 % интервал прогноза</th>",
                                    "<td align=\"right\">220,904191</td>", "[193,866518; 251,712683]"})
        EXPECT_TRUE(Contains(html, piece)) << piece;
    EXPECT_FALSE(Contains(ReportHtml(book, ',', "chart.png"), "<h3>Прогноз</h3>"));
}

}  // namespace
}  // namespace model
