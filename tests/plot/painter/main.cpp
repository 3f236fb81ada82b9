// The painters need an application object for their fonts; no display is used.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "report/painter/report_painter.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    trelvan::installFontSubstitutions();
    return RUN_ALL_TESTS();
}
