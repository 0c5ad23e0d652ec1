#pragma once

// Helpers that carry a call to the user-interface thread (the thread of the
// QApplication object).
//
// Threading: any thread may call them; the calls themselves run on the
// user-interface thread.

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <utility>

namespace kestrel::toolkit::qt {

inline bool OnUiThread() {
    return QCoreApplication::instance() &&
           QThread::currentThread() == QCoreApplication::instance()->thread();
}

// Runs f on the user-interface thread and returns its result; from a worker
// it waits. The neutral value comes back when there is no application.
template <typename R, typename F>
R CallOnUi(F f) {
    if (OnUiThread()) return f();
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return R{};
    R result{};
    QMetaObject::invokeMethod(app, [&]() { result = f(); }, Qt::BlockingQueuedConnection);
    return result;
}

// Runs f on the user-interface thread; from a worker it is queued.
template <typename F>
void PostToUi(F f) {
    if (OnUiThread()) {
        f();
        return;
    }
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(app, std::move(f), Qt::QueuedConnection);
    }
}

}  // namespace kestrel::toolkit::qt
