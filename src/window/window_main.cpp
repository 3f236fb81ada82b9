#include "window/window_main.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include "window/application.h"
#include "window/job_actions.h"
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
    // A job file named on the command line (Qt's own options are taken out by now)
    // is computed in the window once it shows, as if opened from the 文件 menu.
    const QStringList arguments = QApplication::arguments().mid(1);
    if (!arguments.isEmpty()) {
        const QString job = arguments.front();
        QTimer::singleShot(0, &window, [&window, job] { window.jobs().openFile(job); });
    }
    return app.exec();
}

}  // namespace trelvan
