// The window tests share one application object; they run on the offscreen platform
// unless the caller names another.
#include <gtest/gtest.h>

#include <QApplication>

#include "report/painter/report_painter.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    trelvan::installFontSubstitutions();
    return RUN_ALL_TESTS();
}
