#include "forms/window_helpers.h"

#include <QScreen>
#include <QWidget>

QFont WindowFont()
{
    QFont font;
    // The nearest faces to MS Sans Serif that Linux has: narrow enough for the
    // layout's column widths, with Cyrillic glyphs.
    font.setFamilies({"Liberation Sans", "Arial", "DejaVu Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

void CentreOnScreen(QWidget& window)
{
    if (const QScreen* screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}

void BringToFront(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
}
