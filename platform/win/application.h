#pragma once
#include <string>

// The one application object of the process (a QApplication, so that text,
// dialogs and windows share it): the xcb platform when an X display can be
// reached, the offscreen platform otherwise, unless QT_QPA_PLATFORM says
// otherwise. Later calls, and calls when an application object already exists,
// do nothing. The arguments are copied. Call it on the thread that runs the
// message loop.
void EnsureGuiApplication(int argc, char** argv);

// Whether the windows of this process can be shown: an X display can be
// reached, or QT_QPA_PLATFORM names a platform other than xcb (offscreen runs
// of tests). Fills `problem` with a line such as `cannot open display ":7"`
// when not.
bool CanShowWindows(std::string* problem);
