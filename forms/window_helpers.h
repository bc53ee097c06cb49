#pragma once

#include <QFont>

class QWidget;

// What every window of the program does alike, so that no window needs
// another one's header for it.

// The font of the program's windows.
QFont WindowFont();

// Moves a window to the middle of the screen it is on.
void CentreOnScreen(QWidget& window);

// Shows a window that may be hidden or behind others, above them and active.
void BringToFront(QWidget& window);
