// The Qt tests run with the offscreen platform (no display needed) and one
// QApplication for the whole program, created before any test.

#include <QApplication>

#include <gtest/gtest.h>

#include "toolkit/qt/QtApplication.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The media module of the build; the test programs do not sit beside it.
    if (qEnvironmentVariableIsEmpty("KESTREL_QT_MEDIA_MODULE")) qputenv("KESTREL_QT_MEDIA_MODULE", KESTREL_QT_MEDIA_MODULE);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    kestrel::toolkit::qt::QtApplication toolkit;  // sets the CJK font, as the launcher does
    return RUN_ALL_TESTS();
}

// FFmpeg keeps a few bytes of its codec list for the life of the process;
// they are not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libavutil.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
