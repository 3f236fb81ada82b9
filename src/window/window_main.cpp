#include "window/window_main.h"

#include <QApplication>
#include <QIcon>

#include "window/application.h"
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
    prepareApplication(app);
    QApplication::setWindowIcon(programIcon());
    MainForm window;
    window.show();
    return app.exec();
}

}  // namespace trelvan
