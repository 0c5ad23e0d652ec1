#pragma once

// Surface is one open window as the behaviour code sees it: a set of named
// controls (from the window's table) that it drives by name, and the events
// those controls and the window report. Behaviour code never sees a widget.
//
// Names: a control is addressed by its table name. A call that names no
// control of the window does nothing, and a read of it gives the neutral value
// ("", 0, false, -1 for an index); the in-memory backend records such names so
// tests catch a misspelt one.
//
// Values: opacity is 0 (invisible) .. 255 (opaque); colours are ARGB
// (0xFFFF0000 is opaque red); pictures are PNG, JPEG or GIF bytes (bytes that
// do not decode clear the picture); texts are UTF-8 and CR LF breaks a line.
//
// Threading contract: every method may be called from any thread. Writes
// (Show, Move, SetText, ...) from a worker are queued to the user-interface
// thread and return at once; reads (Text, Value, ...) from a worker wait until
// the user-interface thread has answered, so a read sees every write the same
// thread made before it. On the user-interface thread every call acts
// directly. Handlers always run on the user-interface thread (in the
// in-memory backend: on the thread that fires the event), one at a time, and
// may call the surface again; a handler that waits or does network work must
// start a worker instead. No widget is ever touched from another thread.

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/Event.h"
#include "toolkit/WindowDef.h"

namespace kestrel::toolkit {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

class Surface {
public:
    virtual ~Surface() = default;

    // The table the window was built from.
    virtual const WindowDef& Definition() const = 0;

    // --- the window itself ---
    // Opens the window (the first time: fires WindowCreated after it is
    // built, then WindowDrawn once its first frame is drawn), or shows it
    // again after HideWindow or MinimizeWindow.
    virtual void ShowWindow() = 0;
    virtual void HideWindow() = 0;
    virtual void MinimizeWindow() = 0;
    // Closes the window and fires WindowClosed; it may be shown again.
    virtual void CloseWindow() = 0;
    virtual void SetWindowTitle(const std::string& title) = 0;
    virtual void ResizeWindow(int width, int height) = 0;
    virtual bool WindowVisible() const = 0;

    // --- every control ---
    virtual void Show(const std::string& name) = 0;
    virtual void Hide(const std::string& name) = 0;
    // The control's own visibility (a shown control inside a hidden parent
    // is still "visible" here).
    virtual bool Visible(const std::string& name) const = 0;
    virtual void Move(const std::string& name, int x, int y) = 0;
    virtual void Resize(const std::string& name, int width, int height) = 0;
    virtual Rect Geometry(const std::string& name) const = 0;
    virtual void SetText(const std::string& name, const std::string& text) = 0;
    virtual std::string Text(const std::string& name) const = 0;
    virtual void SetEnabled(const std::string& name, bool enabled) = 0;
    virtual bool Enabled(const std::string& name) const = 0;
    virtual void SetOpacity(const std::string& name, int opacity) = 0;
    virtual int Opacity(const std::string& name) const = 0;
    virtual void SetTextColor(const std::string& name, std::uint32_t argb) = 0;
    virtual std::uint32_t TextColor(const std::string& name) const = 0;

    // --- pictures ---
    virtual void SetPicture(const std::string& name, const std::string& image_bytes) = 0;
    // An active picture plays its animation (a GIF); an inactive one shows
    // its first frame.
    virtual void SetActive(const std::string& name, bool active) = 0;

    // --- combo boxes: items, and a text of their own ---
    // Lists keep their rows the same way: the items are the rows, the
    // current index the chosen row and the text that row's text (the
    // designed caption is the column heading, not a text of the list).
    virtual void SetItems(const std::string& name, const std::vector<std::string>& items) = 0;
    virtual void AddItem(const std::string& name, const std::string& item) = 0;
    virtual void ClearItems(const std::string& name) = 0;
    virtual std::vector<std::string> Items(const std::string& name) const = 0;
    // Selects item index (its text becomes the box's text); -1 selects none.
    virtual void SetCurrentIndex(const std::string& name, int index) = 0;
    virtual int CurrentIndex(const std::string& name) const = 0;

    // --- progress bars and sliders ---
    virtual void SetValue(const std::string& name, int value) = 0;
    virtual int Value(const std::string& name) const = 0;
    // The second value of a two-part bar (used, then used plus planned), or
    // the second marker of a slider.
    virtual void SetSecondValue(const std::string& name, int value) = 0;
    virtual int SecondValue(const std::string& name) const = 0;
    virtual void SetRange(const std::string& name, int minimum, int maximum) = 0;

    // --- switches and radio buttons ---
    virtual void SetChecked(const std::string& name, bool checked) = 0;
    virtual bool Checked(const std::string& name) const = 0;

    // --- events ---
    // Adds a handler for the event of the control (or of the window, by the
    // window's table name). Handlers of one control and event run in the
    // order they were added.
    virtual void On(const std::string& name, Event event, Handler handler) = 0;
};

}  // namespace kestrel::toolkit
