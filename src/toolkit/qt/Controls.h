#pragma once

// The widgets the Qt backend draws a window table with, one class per control
// kind, all behind one interface (Control) that QtWindow drives. The skinned
// kinds (frame, panel, picture, label, progress bar, switch) paint
// themselves, so their opacity and colours are ours to apply; the input kinds
// are Qt's own widgets under a style sheet.
//
// Threading: these are widgets. They live on the user-interface thread and
// only QtWindow, on that thread, calls them.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "toolkit/ControlDef.h"
#include "toolkit/Event.h"

namespace kestrel::toolkit::qt {

using EmitFn = std::function<void(Event, const EventArgs&)>;

class Control {
public:
    virtual ~Control() = default;
    virtual QWidget* widget() = 0;

    virtual void setText(const QString& text) = 0;
    virtual QString text() const = 0;
    virtual void setOpacity(int opacity);
    int opacity() const { return opacity_; }
    virtual void setTextColor(std::uint32_t argb) { color_ = argb; }
    std::uint32_t textColor() const { return color_; }

    // The file's bytes and their decoded picture (null when they are none).
    virtual void setPicture(const QByteArray&, const QImage&) {}
    virtual void setActive(bool) {}

    virtual void setItems(const QStringList&) {}
    virtual void addItem(const QString&) {}
    virtual void clearItems() {}
    virtual QStringList items() const { return {}; }
    virtual void setCurrentIndex(int) {}
    virtual int currentIndex() const { return -1; }

    virtual void setValue(int) {}
    virtual int value() const { return 0; }
    virtual void setSecondValue(int) {}
    virtual int secondValue() const { return 0; }
    virtual void setRange(int, int) {}

    virtual void setChecked(bool) {}
    virtual bool checked() const { return false; }

    void setEmitter(EmitFn fn) { emit_ = std::move(fn); }

protected:
    void emitEvent(Event e, const EventArgs& args = {}) {
        if (emit_) emit_(e, args);
    }
    // Painted kinds use the opacity themselves; the others get an effect.
    virtual bool paintsOwnOpacity() const { return false; }
    double paintOpacity() const { return opacity_ / 255.0; }

    int opacity_ = 255;
    std::uint32_t color_ = 0;

private:
    EmitFn emit_;
};

// Builds the widget of one table row under parent. The widget is the
// Control; Qt's parent owns it.
Control* MakeControl(const ControlDef& def, QWidget* parent);

// The skin's colours and the style sheet of the input widgets.
inline constexpr std::uint32_t kSkinText = 0xFFF2F4F8;
inline constexpr std::uint32_t kSkinAccent = 0xFFE8772E;
QString SkinStyleSheet();

// Label texts use CR LF as line break; Qt draws "\n".
QString DisplayText(const QString& text);

}  // namespace kestrel::toolkit::qt
