#pragma once

#include <QStringList>

// Creates the program's four windows in their order: the main window
// (shown, which makes it the main window), then the instruction window, the
// about box and the forecast window, all hidden.
void CreateWindows();

// `cobb-douglas FILE` (the desktop's "Open with"): once the event loop runs,
// the main window loads FILE as "Окрыть" would, a failure shown as a message.
// `arguments` are the program's, its name first.
void OpenStartFile(const QStringList& arguments);

// Destroys the windows CreateWindows made, the main window last.
void DestroyWindows();
