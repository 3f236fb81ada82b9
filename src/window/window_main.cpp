#include "window/window_main.h"

#include <QApplication>

#include "report/painter/report_painter.h"
#include "state/constants.h"
#include "window/main_form.h"

namespace trelvan {

int runWindow(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(programTitle));
    installFontSubstitutions();
    MainForm window;
    window.show();
    return app.exec();
}

}  // namespace trelvan
