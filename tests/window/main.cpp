// The window tests share one application object, prepared as the program prepares
// its own; they run on the offscreen platform unless the caller names another.
#include <gtest/gtest.h>

#include <QApplication>

#include "window/application.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    trelvan::prepareApplication(app);  // as the program does: fonts, Chinese dialogs
    return RUN_ALL_TESTS();
}
