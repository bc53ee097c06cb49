#include "model/workbook.h"

namespace model {

Workbook::Workbook()
{
    SetTableHeaders(*this);
    ResetCaptions(*this);
}

bool SameTables(const Workbook& a, const Workbook& b)
{
    return a.observations == b.observations && a.calculation == b.calculation && a.fit == b.fit
           && a.countText == b.countText;
}

void SetTableHeaders(Workbook& book)
{
    book.observations.setHeaders({"  Год ", "Производство(Y)", "Капитал (K)", "Труд (L)"});
    book.observations.setColumnWidths({42, 93, 69, 64});

    book.calculation.setHeaders(
        {" Год", " X", " Z", " X*Z", " X^2", " Z(X)", " Z-Z(X)", " Z^2", "Z-Z(X)/Z*100"});
    book.calculation.setColumnWidth(CalculationColumn::kYear, 40);

    book.fit.setHeaders({"Год", "Производство(Y)", "ПФ (Кобба-Дугласа)"});
    book.fit.setColumnWidths({70, 133, 140});
}

void SetForecastHeaders(Table& forecast)
{
    forecast.setHeaders({"  Год ", "ОПФ(К)", "Численость (L)", "Прогноз (Y)", "95 % интервал прогноза"});
    forecast.setColumnWidths({40, 121, 124, 149, 190});
}

void SetCountText(Workbook& book, std::string_view text)
{
    if (book.countText == text)
        return;
    book.countText = std::string(text);
    book.countText = CountRule(book.countText, {&book.observations, &book.calculation});
}

void ResetCoefficientCaptions(Workbook& book)
{
    book.aCaption = "a=";
    book.ACaption = "A=";
    book.bCaption = "b=";
}

void ResetCaptions(Workbook& book)
{
    ResetCoefficientCaptions(book);
    book.meanErrorCaption = "Aср=";
    book.r2Caption = "R2=";
}

namespace {

// Writes the empty text into every cell of the data rows; hidden rows keep theirs.
void EraseDataRows(Table& table)
{
    for (int row = 1; row < table.rowCount(); ++row)
        table.eraseRow(row);
}

}  // namespace

void ClearCommand(Workbook& book)
{
    if (book.observations.rowCount() == 2)
        return;
    EraseDataRows(book.observations);
    if (book.calculation.rowCount() == 2)
        return;
    EraseDataRows(book.calculation);
    book.observations.setRowCount(2);
    SetCountText(book, "1");
    ResetCaptions(book);
    book.statistics.reset();
    book.diagnostics.reset();
    book.A = 0;
    book.alfa = 0;
}

void NewCommand(Workbook& book)
{
    ClearCommand(book);
    EraseDataRows(book.observations);
    book.observations.setRowCount(2);
    EraseDataRows(book.fit);
    book.fit.setRowCount(2);
}

}  // namespace model
