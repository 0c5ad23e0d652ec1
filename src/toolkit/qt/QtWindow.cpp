#include "toolkit/qt/QtWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <set>

#include "toolkit/qt/KeyCodes.h"

namespace kestrel::toolkit::qt {

QtWindow::QtWindow(WindowDef def) : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), def_(std::move(def)) {
    setObjectName(QString::fromStdString(def_.name));
    setWindowTitle(QString::fromStdString(def_.title));
    setFixedSize(def_.width, def_.height);
    plan_ = def_.controls;
    for (std::size_t i = 0; i < plan_.size(); ++i) table_[plan_[i].name] = i;
    // Behind a cover only the cover and what lies inside it are seen in the
    // first frame: the rest wait until that frame is drawn (a window of
    // forty controls would otherwise build, lay out and paint them all
    // unseen before anything shows).
    std::set<std::string> inside_cover;
    for (std::size_t i = 0; i < plan_.size(); ++i) {
        const ControlDef& c = plan_[i];
        const bool seen_first = def_.cover.empty() || c.name == def_.cover || inside_cover.count(c.parent) > 0;
        if (!seen_first) continue;
        if (!def_.cover.empty()) inside_cover.insert(c.name);
        make(i);
    }
    // The rest follow the cover's first paint.
    if (auto cover = controls_.find(def_.cover); cover != controls_.end() && !everyControlMade()) {
        cover->second->widget()->installEventFilter(this);
    }
}

Control* QtWindow::make(std::size_t index) {
    const ControlDef& c = plan_[index];
    if (auto made = controls_.find(c.name); made != controls_.end()) return made->second;
    QWidget* parent = this;
    if (!c.parent.empty()) {
        // A table lists parents first (WindowDef::Problems checks it); a
        // control whose parent is missing goes on the window.
        if (auto it = table_.find(c.parent); it != table_.end() && it->second < index) parent = make(it->second)->widget();
    }
    Control* control = MakeControl(c, parent);
    const std::string name = c.name;
    control->setEmitter([this, name](Event e, const EventArgs& args) { dispatch(name, e, args); });
    controls_[name] = control;
    // A widget made later lies over its siblings; it goes back under the
    // first one that the table lists after it, so the stacking stays the
    // table's order.
    for (std::size_t next = index + 1; next < plan_.size(); ++next) {
        const ControlDef& later = plan_[next];
        if (later.parent != c.parent) continue;
        if (auto made = controls_.find(later.name); made != controls_.end()) {
            control->widget()->stackUnder(made->second->widget());
            break;
        }
    }
    // The skin's one style sheet goes on once every control exists: set
    // first, each new control would take the styled window's style over on
    // its own. A cover and what it holds draw themselves, so behind a cover
    // the sheet waits for the rest.
    if (everyControlMade()) setStyleSheet(SkinStyleSheet());
    return control;
}

void QtWindow::makeTheRest() {
    for (std::size_t i = 0; i < plan_.size(); ++i) make(i);
}

ControlDef* QtWindow::waiting(const std::string& name) {
    checkThread();
    if (controls_.count(name)) return nullptr;
    auto listed = table_.find(name);
    return listed == table_.end() ? nullptr : &plan_[listed->second];
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        frameBeingDrawn();
    }
    return QWidget::eventFilter(watched, event);
}

void QtWindow::frameBeingDrawn() {
    if (frame_drawn_) return;
    frame_drawn_ = true;
    // The paint goes on after this event; what follows it waits for the
    // event loop, by which time the frame is drawn and on its way.
    QTimer::singleShot(0, this, [this] { afterFirstFrame(); });
}

void QtWindow::afterFirstFrame() {
    if (after_first_frame_) return;
    after_first_frame_ = true;
    makeTheRest();
    dispatch(def_.name, Event::WindowDrawn, {});
}

bool QtWindow::everyControlMade() const { return controls_.size() == table_.size(); }

void QtWindow::checkThread() {
    if (QThread::currentThread() != thread()) ++off_thread_;
}

Control* QtWindow::control(const std::string& name) {
    checkThread();
    if (auto it = controls_.find(name); it != controls_.end()) return it->second;
    auto listed = table_.find(name);
    return listed == table_.end() ? nullptr : make(listed->second);
}

void QtWindow::openWindow() {
    checkThread();
    const bool first = !created_;
    created_ = true;
    open_ = true;
    if (isMinimized()) showNormal(); else show();
    // A window shown again comes to the front. One opened for the first time
    // is made above the others already; raising it once it is mapped would
    // lift it over a window the player opened in the meantime. (The
    // offscreen platform of the tests cannot raise windows and says so.)
    if (!first && QGuiApplication::platformName() != QLatin1String("offscreen")) raise();
    if (owner_ && windowHandle() && owner_->windowHandle()) {
        windowHandle()->setTransientParent(owner_->windowHandle());
    }
    // The controls the first frame does not show are made once it is drawn,
    // and WindowDrawn fires, or at the latest this long after the window
    // opens (a window that is never drawn, as a minimised one, still gets
    // them soon).
    if (first) QTimer::singleShot(kRestAtTheLatestMs, this, [this] { afterFirstFrame(); });
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
    frameBeingDrawn();

}

}  // namespace kestrel::toolkit::qt
