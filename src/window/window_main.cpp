#include "window/window_main.h"

#include <QApplication>
#include <QWidget>

#include "report/painter/report_painter.h"
#include "state/constants.h"

namespace trelvan {

int runWindow(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(programTitle));
    installFontSubstitutions();
    QWidget window;
    window.setWindowTitle(QString::fromUtf8(programTitle));
    window.show();
    return app.exec();
}

}  // namespace trelvan
