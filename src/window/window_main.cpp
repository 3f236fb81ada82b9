#include "window/window_main.h"

#include <QApplication>
#include <QIcon>

#include "report/painter/report_painter.h"
#include "state/constants.h"
#include "window/main_form.h"

// The icon's drawing is compiled into the window library; a static library's
// resources are registered by hand.
static void registerIconResource() { Q_INIT_RESOURCE(window_icon); }

namespace trelvan {

QIcon programIcon() {
    registerIconResource();
    // Drawn at whatever size the desktop asks for (title bar, task bar, switcher).
    return QIcon(QStringLiteral(":/icons/trelvan.svg"));
}

int runWindow(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(programTitle));
    QApplication::setWindowIcon(programIcon());
    installFontSubstitutions();
    MainForm window;
    window.show();
    return app.exec();
}

}  // namespace trelvan
