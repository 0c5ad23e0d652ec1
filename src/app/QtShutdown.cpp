#include "app/QtShutdown.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>
#include <thread>

namespace kestrel::app {

namespace {

// A worker that asked the player something waits for the answer without a
// stop token; a dialog still open at exit is answered as if cancelled, so
// that worker can end.
void CancelOpenDialogs() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible()) dialog->reject();
    }
}

}  // namespace

void StopWorkersServingEvents(platform::Workers& workers) {
    QEventLoop loop;
    // A worker may still open a dialog while it ends; those are cancelled too.
    QTimer sweeper;
    QObject::connect(&sweeper, &QTimer::timeout, [] { CancelOpenDialogs(); });
    sweeper.start(50);
    CancelOpenDialogs();
    std::thread stopper([&] {
        workers.StopAll();
        QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec();
    stopper.join();
}

}  // namespace kestrel::app
