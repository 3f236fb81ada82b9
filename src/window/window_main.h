#pragma once

#include <QIcon>

namespace trelvan {

// The program's icon, from the same drawing that the desktop's icon theme gets.
QIcon programIcon();

// Opens the main window and runs the event loop; returns the exit status. A job
// file among the arguments is computed in the window (a refused one opens in the
// job editor).
int runWindow(int argc, char** argv);

}  // namespace trelvan
