#pragma once

#include <QIcon>

namespace trelvan {

// The program's icon, from the same drawing that the desktop's icon theme gets.
QIcon programIcon();

// Opens the main window and runs the event loop; returns the exit status.
int runWindow(int argc, char** argv);

}  // namespace trelvan
