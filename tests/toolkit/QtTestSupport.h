#pragma once

// Small helpers of the Qt backend's tests: running the user-interface
// thread's events until something holds, and finding a control's widget by
// its table name (building it if it waits).
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

// A window behind a cover builds most controls after its first frame;
// asking for one builds it now, as a call of the surface would.
inline QWidget* Widget(QtSurface& s, const std::string& name) {
    Control* control = s.window()->control(name);
    return control ? control->widget() : nullptr;
}

}  // namespace kestrel::toolkit::qt
