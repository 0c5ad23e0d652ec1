#pragma once

// QtSurface is the Surface of one QtWindow. It owns the window and carries
// every call to the user-interface thread: writes from a worker are queued
// (QMetaObject::invokeMethod, Qt::QueuedConnection) and return at once;
// reads from a worker wait for the answer (Qt::BlockingQueuedConnection);
// on the user-interface thread both act directly. Writes and reads of one
// worker go through the same queue, so a read sees the worker's earlier
// writes.
//
// Threading: see Surface. A blocking read needs the user-interface thread to
// run its event loop, so that thread must never wait for a worker that may
// read a surface. The surface may be destroyed on any thread; the window is
// then deleted on its own.

#include <memory>

#include "toolkit/Surface.h"

namespace kestrel::toolkit::qt {

class PicturesAhead;
class QtWindow;

class QtSurface : public Surface {
public:
    // Builds the window; call on the user-interface thread. Pictures set
    // later are looked for first among those decoded ahead, when given
    // (they must outlive this surface).
    explicit QtSurface(const WindowDef& def, QtSurface* owner = nullptr, PicturesAhead* pictures = nullptr);
    ~QtSurface() override;

    const WindowDef& Definition() const override { return def_; }
    // The window's widget, for tests and for the backend itself.
    QtWindow* window() const { return window_; }

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

private:
    WindowDef def_;
    QtWindow* window_;
    PicturesAhead* pictures_;
};

}  // namespace kestrel::toolkit::qt
