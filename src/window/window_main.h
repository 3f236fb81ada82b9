#pragma once

namespace trelvan {

// Opens the main window and runs the event loop; returns the exit status.
int runWindow(int argc, char** argv);

}  // namespace trelvan
