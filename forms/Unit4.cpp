#include "forms/Unit4.h"

TForm4* Form4 = nullptr;

TForm4::TForm4(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Прогнозирование показателей"));
    resize(562, 497);
}
