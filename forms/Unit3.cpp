#include "forms/Unit3.h"

TAboutBox1* AboutBox1 = nullptr;

TAboutBox1::TAboutBox1(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("О программе"));
    setFixedSize(297, 137);
}
