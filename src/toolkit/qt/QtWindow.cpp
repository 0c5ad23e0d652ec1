#include "toolkit/qt/QtWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QThread>
#include <QWindow>

#include "toolkit/qt/KeyCodes.h"

namespace kestrel::toolkit::qt {

QtWindow::QtWindow(WindowDef def) : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), def_(std::move(def)) {
    setObjectName(QString::fromStdString(def_.name));
    setWindowTitle(QString::fromStdString(def_.title));
    setFixedSize(def_.width, def_.height);
    for (const ControlDef& c : def_.controls) {
        QWidget* parent = this;
        if (!c.parent.empty()) {
            auto it = controls_.find(c.parent);
            // A table lists parents first (WindowDef::Problems checks it);
            // a control whose parent is missing goes on the window.
            if (it != controls_.end()) parent = it->second->widget();
        }
        Control* control = MakeControl(c, parent);
        const std::string name = c.name;
        control->setEmitter([this, name](Event e, const EventArgs& args) { dispatch(name, e, args); });
        controls_[name] = control;
    }
    // The skin's one style sheet goes on once every control exists: set
    // first, each new control would take the styled window's style over on
    // its own.
    setStyleSheet(SkinStyleSheet());
}

void QtWindow::checkThread() {
    if (QThread::currentThread() != thread()) ++off_thread_;
}

Control* QtWindow::control(const std::string& name) {
    checkThread();
    auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

void QtWindow::openWindow() {
    checkThread();
    const bool first = !created_;
    created_ = true;
    open_ = true;
    if (isMinimized()) showNormal(); else show();
    // The offscreen platform of the tests cannot raise windows and says so.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) raise();
    if (owner_ && windowHandle() && owner_->windowHandle()) {
        windowHandle()->setTransientParent(owner_->windowHandle());
    }
    if (first) dispatch(def_.name, Event::WindowCreated, {});
}

void QtWindow::closeWindow() {
    checkThread();
    close();  // closeEvent fires WindowClosed
}

void QtWindow::closeEvent(QCloseEvent* e) {
    e->accept();
    if (!open_) return;
    open_ = false;
    dispatch(def_.name, Event::WindowClosed, {});
}

void QtWindow::keyPressEvent(QKeyEvent* e) {
    EventArgs args;
    args.key_code = WindowsKeyCode(e->key(), e->modifiers());
    if (args.key_code != 0) dispatch(def_.name, Event::KeyPressed, args);
    QWidget::keyPressEvent(e);
}

void QtWindow::on(const std::string& name, Event event, Handler handler) {
    std::lock_guard lock(handlers_mu_);
    handlers_[{name, event}].push_back(std::move(handler));
}

void QtWindow::dispatch(const std::string& name, Event event, const EventArgs& args) {
    std::vector<Handler> handlers;
    {
        std::lock_guard lock(handlers_mu_);
        auto it = handlers_.find({name, event});
        if (it != handlers_.end()) handlers = it->second;
    }
    for (const Handler& h : handlers) h(args);
}

void QtWindow::paintEvent(QPaintEvent*) {
    // What shows where no control covers the window (the title bar's place
    // before the frame is shown).
    QPainter p(this);
    p.fillRect(rect(), QColor(0x1b, 0x1f, 0x27));
}

}  // namespace kestrel::toolkit::qt
