// The kestrel tests run with one QApplication for the whole program, on the
// offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include <QApplication>

#include <gtest/gtest.h>

#include "toolkit/qt/QtApplication.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    kestrel::toolkit::qt::QtApplication toolkit;
    return RUN_ALL_TESTS();
}

// FFmpeg and D-Bus keep a few bytes for the life of the process; they are
// not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libavutil.so\nleak:libdbus-1.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
