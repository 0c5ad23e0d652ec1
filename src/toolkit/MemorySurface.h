#pragma once

// MemorySurface is a window without a GUI, for tests: it keeps the state of
// every control of its table, records every change in order, and lets a test
// act like the player (click, choose, type, press a key, drag) or fire any
// event by name. Behaviour code drives it exactly as it drives a real window.
//
// It also reports misuse that a real window would silently ignore: names
// that are not in the table and operations that do not fit the control's
// kind (Problems()), so a misspelt control name fails a test.
//
// Threading: every method may be called from any thread; the state is kept
// under one lock. Handlers run on the thread that fires the event, without
// the lock held, so they may call the surface (or fire further events).
// WaitUntil lets a test wait for a worker's changes.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/Surface.h"

namespace kestrel::toolkit {

struct ControlState {
    ControlDef def;
    Rect geometry;
    std::string text;
    bool visible = true;
    bool enabled = true;
    int opacity = 255;
    std::uint32_t text_color = 0;
    std::string picture;
    bool active = false;
    std::vector<std::string> items;
    int current_index = -1;
    int value = 0;
    int second_value = 0;
    int minimum = 0;
    int maximum = 100;
    bool checked = false;
};

// One write made through the surface: the control (or the window's name),
// the property ("text", "visible", "x,y", "opacity", ...) and the new value
// written as text.
struct Change {
    std::string control;
    std::string property;
    std::string value;
};

class MemorySurface : public Surface {
public:
    explicit MemorySurface(WindowDef def);

    const WindowDef& Definition() const override { return def_; }

    void ShowWindow() override;
    void HideWindow() override;
    void MinimizeWindow() override;
    void CloseWindow() override;
    void SetWindowTitle(const std::string& title) override;
    void ResizeWindow(int width, int height) override;
    bool WindowVisible() const override;

    void Show(const std::string& name) override;
    void Hide(const std::string& name) override;
    bool Visible(const std::string& name) const override;
    void Move(const std::string& name, int x, int y) override;
    void Resize(const std::string& name, int width, int height) override;
    Rect Geometry(const std::string& name) const override;
    void SetText(const std::string& name, const std::string& text) override;
    std::string Text(const std::string& name) const override;
    void SetEnabled(const std::string& name, bool enabled) override;
    bool Enabled(const std::string& name) const override;
    void SetOpacity(const std::string& name, int opacity) override;
    int Opacity(const std::string& name) const override;
    void SetTextColor(const std::string& name, std::uint32_t argb) override;
    std::uint32_t TextColor(const std::string& name) const override;
    void SetPicture(const std::string& name, const std::string& image_bytes) override;
    void SetActive(const std::string& name, bool active) override;
    void SetItems(const std::string& name, const std::vector<std::string>& items) override;
    void AddItem(const std::string& name, const std::string& item) override;
    void ClearItems(const std::string& name) override;
    std::vector<std::string> Items(const std::string& name) const override;
    void SetCurrentIndex(const std::string& name, int index) override;
    int CurrentIndex(const std::string& name) const override;
    void SetValue(const std::string& name, int value) override;
    int Value(const std::string& name) const override;
    void SetSecondValue(const std::string& name, int value) override;
    int SecondValue(const std::string& name) const override;
    void SetRange(const std::string& name, int minimum, int maximum) override;
    void SetChecked(const std::string& name, bool checked) override;
    bool Checked(const std::string& name) const override;
    void On(const std::string& name, Event event, Handler handler) override;

    // --- for tests ---

    // The whole state of a control; nullopt for a name not in the table.
    std::optional<ControlState> State(const std::string& name) const;
    std::string Picture(const std::string& name) const;
    bool Active(const std::string& name) const;
    std::pair<int, int> Range(const std::string& name) const;
    std::string WindowTitle() const;
    bool WindowOpen() const;  // shown at least once and not closed since
    bool Minimized() const;
    int CloseCount() const;

    // Whether the player could reach the control now: the window is shown and
    // not minimised, and the control and all its parents are visible and
    // enabled.
    bool Reachable(const std::string& name) const;

    // Acting like the player. Each returns false and changes nothing when the
    // control is not reachable (or not of a fitting kind).
    bool Click(const std::string& name);
    bool Choose(const std::string& name, int index);  // ItemSelected, text and index set first
    bool OpenList(const std::string& name);
    bool Type(const std::string& name, const std::string& text);  // ContentChanged
    // KeyPressed on an edit, or on the window itself under its own name.
    bool PressKey(const std::string& name, int key_code);
    bool Drag(const std::string& name, int position);  // PositionChanged
    // The player closes the window with its close button.
    bool CloseByPlayer();

    // Runs the handlers of (name, event) whatever the control's state;
    // name may be the window's name. Returns how many handlers ran.
    int Fire(const std::string& name, Event event, const EventArgs& args = {});
    int HandlerCount(const std::string& name, Event event) const;

    std::vector<Change> Changes() const;
    // The values a property of one control took, in order.
    std::vector<std::string> History(const std::string& name, const std::string& property) const;
    void ClearChanges();
    std::vector<std::string> Problems() const;

    // Waits until pred() holds, re-testing it after every change; true if it
    // held within the timeout.
    bool WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout) const;

private:
    ControlState* Find(const std::string& name, const char* operation);
    const ControlState* Find(const std::string& name, const char* operation) const;
    ControlState* FindKind(const std::string& name, const char* operation,
                           std::initializer_list<ControlKind> kinds);
    const ControlState* FindKind(const std::string& name, const char* operation,
                                 std::initializer_list<ControlKind> kinds) const;
    void Record(const std::string& control, const std::string& property, std::string value);
    bool ReachableLocked(const std::string& name) const;

    WindowDef def_;
    mutable std::mutex mu_;
    mutable std::condition_variable changed_;
    unsigned long long version_ = 0;
    std::map<std::string, ControlState> controls_;
    std::map<std::pair<std::string, Event>, std::vector<Handler>> handlers_;
    std::vector<Change> changes_;
    mutable std::vector<std::string> problems_;
    std::string title_;
    Size window_size_;
    bool created_ = false;
    bool shown_ = false;
    bool minimized_ = false;
    bool closed_ = false;
    int close_count_ = 0;
};

}  // namespace kestrel::toolkit
