#include "forms/controls/up_down.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

UpDown::UpDown(QWidget* parent) : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    // Screen readers name the arrows by what they do, whichever way they point.
    m_up->setAccessibleName(QStringLiteral("Увеличить"));
    m_down->setAccessibleName(QStringLiteral("Уменьшить"));
    for (QToolButton* button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
    setOrientation(Qt::Vertical);
}

void UpDown::setOrientation(Qt::Orientation orientation)
{
    m_orientation = orientation;
    const bool horizontal = orientation == Qt::Horizontal;
    m_up->setArrowType(horizontal ? Qt::RightArrow : Qt::UpArrow);
    m_down->setArrowType(horizontal ? Qt::LeftArrow : Qt::DownArrow);
    layoutButtons();
}

void UpDown::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
    m_position = std::clamp(m_position, minimum, maximum);
}

void UpDown::setAssociate(QLineEdit* field)
{
    if (m_field)
        m_field->removeEventFilter(this);
    m_field = field;
    if (m_field)
        m_field->installEventFilter(this);
}

void UpDown::setPosition(int position)
{
    m_position = std::clamp(position, m_minimum, m_maximum);
}

void UpDown::step(int delta)
{
    // The field may have been typed into since the last step: start from its number.
    int start = m_position;
    if (m_field) {
        bool isNumber = false;
        const int typed = m_field->text().toInt(&isNumber);
        if (isNumber)
            start = typed;
    }
    // A number beyond the range is left as it is by a step that would move it further
    // away: up never lowers the count, down never raises it.
    if ((delta > 0 && start >= m_maximum) || (delta < 0 && start <= m_minimum))
        return;
    m_position = std::clamp(start + delta, m_minimum, m_maximum);
    if (m_field)
        m_field->setText(QString::number(m_position));
}

bool UpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDown::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutButtons();
}

void UpDown::layoutButtons()
{
    if (m_orientation == Qt::Horizontal) {
        const int half = width() / 2;
        m_down->setGeometry(0, 0, half, height());
        m_up->setGeometry(half, 0, width() - half, height());
    } else {
        const int half = height() / 2;
        m_up->setGeometry(0, 0, width(), half);
        m_down->setGeometry(0, half, width(), height() - half);
    }
}
