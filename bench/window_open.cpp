// Opens the main window exactly as the program does, lets it paint once and ends:
// the measure of how long an operator waits for the window.

#include <QApplication>

#include "report/painter/report_painter.h"
#include "state/constants.h"
#include "window/main_form.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(trelvan::programTitle));
    trelvan::installFontSubstitutions();
    trelvan::MainForm window;
    window.show();
    QCoreApplication::processEvents();
    return window.isVisible() ? 0 : 1;
}
