#include "model/workbook.h"

namespace model {

Workbook::Workbook()
{
    SetTableHeaders(*this);
}

void SetTableHeaders(Workbook& book)
{
    book.observations.setHeaders({"  Год ", "Производство(Y)", "Капитал (K)", "Труд (L)"});
    book.observations.setColumnWidths({42, 93, 69, 64});

    book.calculation.setHeaders({" Год", " X", " Z", " X*Z", " X^2", " Z(X)", " Z-Z(X)", " Z^2",
                                 "Z-Z(X)/Z*100"});
    book.calculation.setColumnWidth(0, 40);

    book.fit.setHeaders({"Год", "Производство(Y)", "ПФ (Кобба-Дугласа)"});
    book.fit.setColumnWidths({70, 133, 140});
}

void SetCountText(Workbook& book, std::string_view text)
{
    if (book.countText == text)
        return;
    book.countText = std::string(text);
    book.countText = CountRule(book.countText, {&book.observations, &book.calculation});
}

void ResetCaptions(Workbook& book)
{
    book.aCaption = "a=";
    book.ACaption = "A=";
    book.bCaption = "b=";
    book.meanErrorCaption = "Aср=";
    book.r2Caption = "R2=";
}

}  // namespace model
