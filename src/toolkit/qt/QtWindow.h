#pragma once

// QtWindow is the top-level widget of one window table: frameless (its
// frame control draws the skinned border and title bar), fixed in size, with
// every control of the table built under its parent and stacked in table
// order. A table with a cover builds only the cover and the controls inside
// it at first; any other control is built when it is first asked for, and
// the rest right after the first frame is drawn. It keeps the name ->
// control map and the handlers, and dispatches the widgets' events to the
// handlers by name.
//
// Threading: a widget of the user-interface thread. QtSurface carries every
// call from other threads to it. On() and OffThreadTouches() may be called
// from any thread; everything else only on the user-interface thread, and
// each such call counts a violation when it is not (tests assert none).

#include <QWidget>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "toolkit/Event.h"
#include "toolkit/WindowDef.h"
#include "toolkit/qt/Controls.h"

namespace kestrel::toolkit::qt {

class QtWindow : public QWidget {
public:
    explicit QtWindow(WindowDef def);

    const WindowDef& definition() const { return def_; }
    // The control of that name, or nullptr; one not built yet is built now.
    // Counts a violation off the user-interface thread.
    Control* control(const std::string& name);
    // The table entry of a control not built yet, or nullptr. Until it is
    // built its place, size, visibility and text are kept there, and it is
    // built from them, as if they had been set on it.
    ControlDef* waiting(const std::string& name);
    // Whether every control of the table is built (tests wait for it).
    bool everyControlMade() const;

    void openWindow();   // show; the first time also fires WindowCreated (and, once drawn, WindowDrawn)
    void closeWindow();  // hide and fire WindowClosed (if it was open)
    void setOwner(QtWindow* owner) { owner_ = owner; }

    void on(const std::string& name, Event event, Handler handler);
    void dispatch(const std::string& name, Event event, const EventArgs& args);

    // Calls that reached a widget from a thread other than its own.
    int offThreadTouches() const { return off_thread_.load(); }
    void checkThread();

protected:
    void paintEvent(QPaintEvent*) override;
    // Sees the cover's first paint (the window beneath it is not painted).
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* e) override;
    // Keys that no control took (no edit has the focus) are the window's:
    // KeyPressed under the window's own name.
    void keyPressEvent(QKeyEvent* e) override;

private:
    // The latest moment after the window first opens at which the controls
    // still missing are built and WindowDrawn fires, drawn or not.
    static constexpr int kRestAtTheLatestMs = 250;

    // Builds the table's control at that index, its parents first, once.
    Control* make(std::size_t index);
    void makeTheRest();
    // The first paint of the window or of its cover has begun.
    void frameBeingDrawn();
    // Builds the rest and fires WindowDrawn, once.
    void afterFirstFrame();

    WindowDef def_;
    std::vector<ControlDef> plan_;              // the table, with the waiting controls' changes
    std::map<std::string, std::size_t> table_;  // name -> index in plan_
    std::map<std::string, Control*> controls_;
    std::mutex handlers_mu_;
    std::map<std::pair<std::string, Event>, std::vector<Handler>> handlers_;
    std::atomic<int> off_thread_{0};
    QtWindow* owner_ = nullptr;
    bool created_ = false;
    bool open_ = false;
    bool frame_drawn_ = false;
    bool after_first_frame_ = false;
};

}  // namespace kestrel::toolkit::qt
