#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;

// A handler for typed characters: it may set the character to 0 to swallow it.
using KeyPressHandler = std::function<void(char32_t& key)>;

// The character a key event types, or 0 for keys that only move or edit
// (arrows, Tab, Delete, Escape, function keys).
char32_t TypedCharacter(const QKeyEvent& event);

// Runs a KeyPressHandler on the characters typed into the watched widgets
// and drops the key events whose character it swallows.
class KeyPressFilter : public QObject {
    Q_OBJECT
public:
    explicit KeyPressFilter(KeyPressHandler handler, QObject* parent = nullptr);

    // Whether the handler lets the event's character through.
    bool passes(const QKeyEvent& event) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyPressHandler m_handler;
};
