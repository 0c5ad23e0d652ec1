#pragma once

// Small helpers of the Qt backend's tests: running the user-interface
// thread's events until something holds, and finding a control's widget by
// its table name.
//
// Threading: the test's (user-interface) thread only.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QWidget>

#include <string>

#include "toolkit/qt/QtSurface.h"
#include "toolkit/qt/QtWindow.h"

namespace kestrel::toolkit::qt {

// Runs the user-interface thread's events until pred holds or the time is up.
template <typename Pred>
bool SpinUntil(Pred pred, int timeout_ms = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > timeout_ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

inline QWidget* Widget(QtSurface& s, const std::string& name) {
    return s.window()->findChild<QWidget*>(QString::fromStdString(name));
}

}  // namespace kestrel::toolkit::qt
