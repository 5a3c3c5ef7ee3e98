#pragma once
#include <QFont>

// Text needs a GUI application object for its fonts. When the process has
// none yet (a test, a tool), one is made on the offscreen platform; the saver
// makes its own before any text is drawn.
bool EnsureTextApplication();

// The face the system's text is drawn in: a Japanese gothic.
QFont GothicFont();
