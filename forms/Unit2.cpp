#include "forms/Unit2.h"

TForm2* Form2 = nullptr;

TForm2::TForm2(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Инструкция"));
    resize(597, 449);
}
