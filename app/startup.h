#pragma once

// Creates the program's four windows in their order: the main window
// (shown, which makes it the main window), then the instruction window, the
// about box and the forecast window, all hidden.
void CreateWindows();

// Destroys the windows CreateWindows made, the main window last.
void DestroyWindows();
