#include "toolkit/qt/QtSurface.h"

#include <QMetaObject>
#include <QThread>
#include <utility>

#include "toolkit/ComboText.h"
#include "toolkit/qt/PictureDecoder.h"
#include "toolkit/qt/PicturesAhead.h"
#include "toolkit/qt/QtWindow.h"

namespace kestrel::toolkit::qt {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

bool OnUiThread(const QtWindow* w) { return QThread::currentThread() == w->thread(); }

// Runs f(window) on the window's thread: directly when already there,
// otherwise queued, returning at once.
template <typename F>
void Write(QtWindow* w, F f) {
    if (OnUiThread(w)) {
        f(w);
        return;
    }
    QMetaObject::invokeMethod(w, [w, f = std::move(f)]() { f(w); }, Qt::QueuedConnection);
}

// Runs f(window) on the window's thread and returns its result; from a
// worker this waits for the user-interface thread. If the window is gone
// before the call runs, the neutral value comes back.
template <typename R, typename F>
R Read(QtWindow* w, F f) {
    if (OnUiThread(w)) return f(w);
    R result{};
    QMetaObject::invokeMethod(w, [&]() { result = f(w); }, Qt::BlockingQueuedConnection);
    return result;
}

// Applies fn to the named control, if there is one.
template <typename F>
void WriteControl(QtWindow* w, const std::string& name, F fn) {
    Write(w, [name, fn = std::move(fn)](QtWindow* win) {
        if (Control* c = win->control(name)) fn(c);
    });
}

template <typename R, typename F>
R ReadControl(QtWindow* w, const std::string& name, F fn, R neutral = R{}) {
    return Read<R>(w, [&name, &fn, &neutral](QtWindow* win) -> R {
        Control* c = win->control(name);
        return c ? fn(c) : neutral;
    });
}

// The same for the calls a control not built yet can take on its table entry
// (QtWindow::waiting): entry(def) edits or reads the entry instead, so that
// a window behind its cover need not build controls to move, show, hide or
// name them.
template <typename F, typename E>
void WriteControlOrEntry(QtWindow* w, const std::string& name, F fn, E entry) {
    Write(w, [name, fn = std::move(fn), entry = std::move(entry)](QtWindow* win) {
        if (ControlDef* def = win->waiting(name); def && def->kind != ControlKind::List) {
            entry(*def);
        } else if (Control* c = win->control(name)) {
            fn(c);
        }
    });
}

template <typename R, typename F, typename E>
R ReadControlOrEntry(QtWindow* w, const std::string& name, F fn, E entry) {
    return Read<R>(w, [&name, &fn, &entry](QtWindow* win) -> R {
        if (ControlDef* def = win->waiting(name); def && def->kind != ControlKind::List) return entry(*def);
        Control* c = win->control(name);
        return c ? fn(c) : R{};
    });
}

}  // namespace

QtSurface::QtSurface(const WindowDef& def, QtSurface* owner, PicturesAhead* pictures)
    : def_(def), window_(new QtWindow(def)), pictures_(pictures) {
    if (owner) window_->setOwner(owner->window());
}

QtSurface::~QtSurface() {
    if (OnUiThread(window_)) {
        delete window_;
    } else {
        window_->deleteLater();
    }
}

void QtSurface::ShowWindow() {
    Write(window_, [](QtWindow* w) { w->openWindow(); });
}

void QtSurface::HideWindow() {
    Write(window_, [](QtWindow* w) {
        w->checkThread();
        w->hide();
    });
}

void QtSurface::MinimizeWindow() {
    Write(window_, [](QtWindow* w) {
        w->checkThread();
        w->showMinimized();
    });
}

void QtSurface::CloseWindow() {
    Write(window_, [](QtWindow* w) { w->closeWindow(); });
}

void QtSurface::SetWindowTitle(const std::string& title) {
    Write(window_, [title](QtWindow* w) {
        w->checkThread();
        w->setWindowTitle(Q(title));
    });
}

void QtSurface::ResizeWindow(int width, int height) {
    Write(window_, [width, height](QtWindow* w) {
        w->checkThread();
        w->setFixedSize(width, height);
    });
}

bool QtSurface::WindowVisible() const {
    return Read<bool>(window_, [](QtWindow* w) {
        w->checkThread();
        return w->isVisible() && !w->isMinimized();
    });
}

void QtSurface::Show(const std::string& name) {
    WriteControlOrEntry(window_, name, [](Control* c) { c->widget()->show(); }, [](ControlDef& d) { d.visible = true; });
}

void QtSurface::Hide(const std::string& name) {
    WriteControlOrEntry(window_, name, [](Control* c) { c->widget()->hide(); }, [](ControlDef& d) { d.visible = false; });
}

bool QtSurface::Visible(const std::string& name) const {
    return ReadControlOrEntry<bool>(
        window_, name, [](Control* c) { return !c->widget()->isHidden(); }, [](const ControlDef& d) { return d.visible; });
}

void QtSurface::Move(const std::string& name, int x, int y) {
    WriteControlOrEntry(
        window_, name, [x, y](Control* c) { c->widget()->move(x, y); },
        [x, y](ControlDef& d) {
            d.x = x;
            d.y = y;
        });
}

void QtSurface::Resize(const std::string& name, int width, int height) {
    WriteControlOrEntry(
        window_, name, [width, height](Control* c) { c->widget()->resize(width, height); },
        [width, height](ControlDef& d) {
            d.width = width;
            d.height = height;
        });
}

Rect QtSurface::Geometry(const std::string& name) const {
    return ReadControlOrEntry<Rect>(
        window_, name,
        [](Control* c) {
            const QRect g = c->widget()->geometry();
            return Rect{g.x(), g.y(), g.width(), g.height()};
        },
        [](const ControlDef& d) { return Rect{d.x, d.y, d.width, d.height}; });
}

void QtSurface::SetText(const std::string& name, const std::string& text) {
    WriteControlOrEntry(
        window_, name, [t = Q(text)](Control* c) { c->setText(t); }, [text](ControlDef& d) { d.caption = text; });
}

std::string QtSurface::Text(const std::string& name) const {
    return ReadControlOrEntry<std::string>(
        window_, name, [](Control* c) { return S(c->text()); }, [](const ControlDef& d) { return d.caption; });
}

void QtSurface::SetEnabled(const std::string& name, bool enabled) {
    WriteControl(window_, name, [enabled](Control* c) { c->widget()->setEnabled(enabled); });
}

bool QtSurface::Enabled(const std::string& name) const {
    return ReadControl<bool>(window_, name, [](Control* c) { return c->widget()->isEnabled(); });
}

void QtSurface::SetOpacity(const std::string& name, int opacity) {
    WriteControl(window_, name, [o = ClampOpacity(opacity)](Control* c) { c->setOpacity(o); });
}

int QtSurface::Opacity(const std::string& name) const {
    return ReadControl<int>(window_, name, [](Control* c) { return c->opacity(); });
}

void QtSurface::SetTextColor(const std::string& name, std::uint32_t argb) {
    WriteControl(window_, name, [argb](Control* c) { c->setTextColor(argb); });
}

std::uint32_t QtSurface::TextColor(const std::string& name) const {
    return ReadControl<std::uint32_t>(window_, name, [](Control* c) { return c->textColor(); });
}

void QtSurface::SetPicture(const std::string& name, const std::string& image_bytes) {
    // Decoded on the calling thread: a worker setting the background keeps
    // the decoding off the user-interface thread.
    const QByteArray bytes = QByteArray::fromStdString(image_bytes);
    QImage image = pictures_ ? pictures_->Take(bytes) : QImage();
    if (image.isNull()) image = DecodePicture(bytes);
    WriteControl(window_, name, [bytes, image](Control* c) { c->setPicture(bytes, image); });
}

void QtSurface::SetActive(const std::string& name, bool active) {
    WriteControl(window_, name, [active](Control* c) { c->setActive(active); });
}

void QtSurface::SetItems(const std::string& name, const std::vector<std::string>& items) {
    QStringList list;
    for (const std::string& item : items) list << Q(item);
    WriteControl(window_, name, [list](Control* c) { c->setItems(list); });
}

void QtSurface::AddItem(const std::string& name, const std::string& item) {
    WriteControl(window_, name, [t = Q(item)](Control* c) { c->addItem(t); });
}

void QtSurface::ClearItems(const std::string& name) {
    WriteControl(window_, name, [](Control* c) { c->clearItems(); });
}

std::vector<std::string> QtSurface::Items(const std::string& name) const {
    return ReadControl<std::vector<std::string>>(window_, name, [](Control* c) {
        std::vector<std::string> out;
        for (const QString& item : c->items()) out.push_back(S(item));
        return out;
    });
}

void QtSurface::SetCurrentIndex(const std::string& name, int index) {
    WriteControl(window_, name, [index](Control* c) { c->setCurrentIndex(index); });
}

int QtSurface::CurrentIndex(const std::string& name) const {
    return ReadControl<int>(window_, name, [](Control* c) { return c->currentIndex(); }, -1);
}

void QtSurface::SetValue(const std::string& name, int value) {
    WriteControl(window_, name, [value](Control* c) { c->setValue(value); });
}

int QtSurface::Value(const std::string& name) const {
    return ReadControl<int>(window_, name, [](Control* c) { return c->value(); });
}

void QtSurface::SetSecondValue(const std::string& name, int value) {
    WriteControl(window_, name, [value](Control* c) { c->setSecondValue(value); });
}

int QtSurface::SecondValue(const std::string& name) const {
    return ReadControl<int>(window_, name, [](Control* c) { return c->secondValue(); });
}

void QtSurface::SetRange(const std::string& name, int minimum, int maximum) {
    WriteControl(window_, name, [minimum, maximum](Control* c) { c->setRange(minimum, maximum); });
}

void QtSurface::SetChecked(const std::string& name, bool checked) {
    WriteControl(window_, name, [checked](Control* c) { c->setChecked(checked); });
}

bool QtSurface::Checked(const std::string& name) const {
    return ReadControl<bool>(window_, name, [](Control* c) { return c->checked(); });
}

void QtSurface::On(const std::string& name, Event event, Handler handler) {
    window_->on(name, event, std::move(handler));
}

}  // namespace kestrel::toolkit::qt
