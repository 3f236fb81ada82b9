// Opens the main window exactly as the program does, lets it paint once and ends:
// the measure of how long an operator waits for the window.

#include <QApplication>

#include "window/application.h"
#include "window/main_form.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    trelvan::prepareApplication(app);
    trelvan::MainForm window;
    window.show();
    QCoreApplication::processEvents();
    return window.isVisible() ? 0 : 1;
}
