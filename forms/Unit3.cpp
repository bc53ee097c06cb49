#include "forms/Unit3.h"

#include "forms/window_helpers.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TAboutBox1* AboutBox1 = nullptr;

TAboutBox1::TAboutBox1(QWidget* parent)
    : QDialog(parent), Panel1(new QFrame(this)), Label14(new QLabel(Panel1)), OKButton(new QPushButton(this))
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("О программе"));
    setFixedSize(297, 137);

    // A lowered outer and a raised inner line: an etched border.
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Panel1->setGeometry(8, 8, 281, 89);

    QFont font;
    font.setFamilies({"Times New Roman", "Liberation Serif", "DejaVu Serif"});
    font.setStyleHint(QFont::Serif);
    font.setBold(true);
    font.setPixelSize(20);
    Label14->setFont(font);
    Label14->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label14->setWordWrap(true);
    Label14->setText(QStringLiteral("Программа для составления произвоственной функции Кобба-Дугласа"));
    Label14->setGeometry(5, 8, 263, 69);

    OKButton->setText(QStringLiteral("OK"));
    OKButton->setGeometry(107, 104, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox1::OKButtonClick);
}

void TAboutBox1::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CentreOnScreen(*this);
}

void TAboutBox1::OKButtonClick()
{
    accept();
}
