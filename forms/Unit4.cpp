#include "forms/Unit4.h"

#include "forms/application.h"
#include "forms/number_locale.h"
#include "forms/window_helpers.h"
#include "model/estimation.h"

#include <QScopeGuard>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QWindow>

#include <utility>

TForm4* Form4 = nullptr;

TForm4::TForm4(BasisSource basis, QWidget* parent) : QWidget(parent), m_basis(std::move(basis))
{
    setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                   | Qt::WindowStaysOnTopHint);
    setFont(WindowFont());
    // 752 × 497 is the outer size, 562 wide and the prediction interval's column: the frame,
    // known once the native window exists, comes out of it.
    create();
    resize(QSize(752, 497).shrunkBy(windowHandle()->frameMargins()));

    StringGrid1->setTable(m_table, true);
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setKeyPressHandler([this](char32_t& key) { StringGrid1KeyPress(key); });

    UpDown1->setOrientation(Qt::Vertical);
    UpDown1->setRange(0, model::kMaxObservationCount);
    UpDown1->setPosition(1);
    UpDown1->setAssociate(LabeledEdit1);
    connect(LabeledEdit1, &QLineEdit::textChanged, this, Reporting(this, &TForm4::LabeledEdit1Change));
    connect(SpeedButton1, &QToolButton::clicked, this, Reporting(this, &TForm4::SpeedButton1Click));
    connect(SpeedButton2, &QToolButton::clicked, this, Reporting(this, &TForm4::SpeedButton2Click));
    connect(SpeedButton4, &QToolButton::clicked, this, Reporting(this, &TForm4::SpeedButton4Click));
    // The first data row shows its number before the count is first changed.
    LabeledEdit1Change(LabeledEdit1->text());
}

TForm4::~TForm4()
{
    // The grid shows m_table: it must go before the table does.
    delete StringGrid1;
}

void TForm4::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm4::FormShow()
{
    model::SetForecastHeaders(m_table);
    CentreOnScreen(*this);
}

void TForm4::LabeledEdit1Change(const QString& text)
{
    showCountText(model::CountRule(text.toStdString(), {&m_table}));
}

void TForm4::StringGrid1KeyPress(char32_t& key)
{
    ApplyDigitFilter(key);
}

void TForm4::SpeedButton1Click()
{
    std::string countText = LabeledEdit1->text().toStdString();
    // The command may replace "0" by "1" before a later row fails.
    const auto show = qScopeGuard([&] { showCountText(countText); });
    model::ForecastCommand(m_table, countText, m_basis(), DecimalSeparator());
}

void TForm4::SpeedButton2Click()
{
    std::string countText = LabeledEdit1->text().toStdString();
    model::ClearForecast(m_table, countText);
    showCountText(countText);
}

void TForm4::SpeedButton4Click()
{
    hide();
}

void TForm4::showCountText(const std::string& countText)
{
    const QString text = QString::fromStdString(countText);
    if (LabeledEdit1->text() == text)
        return;
    const QSignalBlocker blocker(LabeledEdit1);
    LabeledEdit1->setText(text);
}
