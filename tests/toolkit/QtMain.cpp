// The Qt tests run with the offscreen platform (no display needed) and one
// QApplication for the whole program, created before any test.

#include <QApplication>

#include <gtest/gtest.h>

#include "toolkit/qt/QtApplication.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    kestrel::toolkit::qt::QtApplication toolkit;  // sets the CJK font, as the launcher does
    return RUN_ALL_TESTS();
}
