// The window tests share one application object, prepared as the program prepares
// its own; they run on the offscreen platform unless the caller names another.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "window/application.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The windows keep their last completed job and their recent job files in a
    // folder of this run's own, never in the user's.
    QTemporaryDir home;
    for (const char* place : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"}) qputenv(place, home.filePath(place).toUtf8());
    QApplication app(argc, argv);
    trelvan::prepareApplication(app);  // as the program does: fonts, Chinese dialogs
    return RUN_ALL_TESTS();
}
