#include "forms/controls/labeled_edit.h"

#include <QLabel>

namespace {
constexpr int kLabelSpacing = 3;
}

LabeledEdit::LabeledEdit(QWidget* parent) : QLineEdit(parent), m_label(new QLabel(parent))
{
    m_label->setBuddy(this);
}

QString LabeledEdit::labelText() const
{
    return m_label->text();
}

void LabeledEdit::setLabelText(const QString& text)
{
    m_label->setText(text);
    placeLabel();
}

void LabeledEdit::moveEvent(QMoveEvent* event)
{
    QLineEdit::moveEvent(event);
    placeLabel();
}

void LabeledEdit::showEvent(QShowEvent* event)
{
    QLineEdit::showEvent(event);
    placeLabel();
}

void LabeledEdit::placeLabel()
{
    // The label is the field's sibling, so it must follow the field's parent.
    if (m_label->parentWidget() != parentWidget())
        m_label->setParent(parentWidget());
    m_label->adjustSize();
    m_label->move(x(), y() - m_label->height() - kLabelSpacing);
}
