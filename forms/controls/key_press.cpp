#include "forms/controls/key_press.h"

#include <QKeyEvent>

char32_t TypedCharacter(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
    case Qt::Key_Escape:
        return 0;
    default:
        break;
    }
    const QList<uint> characters = event.text().toUcs4();
    return characters.isEmpty() ? 0 : static_cast<char32_t>(characters.front());
}

KeyPressFilter::KeyPressFilter(KeyPressHandler handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler))
{
}

bool KeyPressFilter::passes(const QKeyEvent& event) const
{
    char32_t character = TypedCharacter(event);
    if (character == 0 || !m_handler)
        return true;
    m_handler(character);
    return character != 0;
}

bool KeyPressFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && !passes(static_cast<QKeyEvent&>(*event)))
        return true;
    return QObject::eventFilter(watched, event);
}
