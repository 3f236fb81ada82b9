#include "window/window_main.h"

#include <QApplication>

#include "window/application.h"
#include "window/main_form.h"

namespace trelvan {

int runWindow(int argc, char** argv) {
    QApplication app(argc, argv);
    prepareApplication(app);
    MainForm window;
    window.show();
    return app.exec();
}

}  // namespace trelvan
