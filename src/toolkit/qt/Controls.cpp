#include "toolkit/qt/Controls.h"

#include <algorithm>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QBuffer>
#include <QComboBox>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QMovie>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QHeaderView>
#include <QTreeWidget>
#include <QWindow>

#include "toolkit/ComboText.h"
#include "toolkit/qt/KeyCodes.h"
#include "toolkit/qt/PictureDecoder.h"

namespace kestrel::toolkit::qt {
namespace {

using K = ControlKind;

QColor Argb(std::uint32_t argb) { return QColor::fromRgba(argb); }

Qt::Alignment HAlign(TextAlign a) {
    switch (a) {
        case TextAlign::Center: return Qt::AlignHCenter;
        case TextAlign::Right: return Qt::AlignRight;
        case TextAlign::Left: break;
    }
    return Qt::AlignLeft;
}

void ApplyFont(QWidget* w, int px) {
    if (px <= 0) return;
    QFont f = w->font();
    f.setPixelSize(px);
    w->setFont(f);
}

// Reports a click when the mouse is released over the widget it was
// pressed on, as buttons do.
bool IsClick(QWidget* w, QMouseEvent* e) {
    return e->button() == Qt::LeftButton && w->rect().contains(e->position().toPoint());
}

// --- painted kinds ---

class PaintedBase : public Control {
protected:
    bool paintsOwnOpacity() const override { return true; }
};

class FrameControl : public QWidget, public PaintedBase {
public:
    FrameControl(const ControlDef& def, QWidget* parent) : QWidget(parent), caption_(QString::fromStdString(def.caption)) {
        minimize_ = new QPushButton(QString::fromUtf8("\u2013"), this);
        close_ = new QPushButton(QString::fromUtf8("\u2715"), this);
        for (QPushButton* b : {minimize_, close_}) {
            b->setObjectName(QString());
            b->setFlat(true);
            b->setFocusPolicy(Qt::NoFocus);
            b->setProperty("frameButton", true);
        }
        close_->setProperty("closeButton", true);
        connect(minimize_, &QPushButton::clicked, this, [this] { window()->showMinimized(); });
        connect(close_, &QPushButton::clicked, this, [this] { window()->close(); });
    }
    QWidget* widget() override { return this; }
    void setText(const QString& t) override { caption_ = t; update(); }
    QString text() const override { return caption_; }
    void setTextColor(std::uint32_t argb) override { color_ = argb; update(); }
    void setOpacity(int o) override { opacity_ = o; update(); }

protected:
    void resizeEvent(QResizeEvent*) override {
        close_->setGeometry(width() - 42, 0, 42, kBar);
        minimize_->setGeometry(width() - 84, 0, 42, kBar);
    }
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setOpacity(paintOpacity());
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(rect(), QColor(0x1b, 0x1f, 0x27));
        QLinearGradient g(0, 0, 0, kBar);
        g.setColorAt(0, QColor(0x2c, 0x33, 0x40));
        g.setColorAt(1, QColor(0x22, 0x27, 0x31));
        p.fillRect(QRect(0, 0, width(), kBar), g);
        // The mark: a small falcon's wing in the skin's accent colour.
        QPainterPath wing;
        wing.moveTo(10, 20);
        wing.cubicTo(14, 8, 22, 6, 28, 9);
        wing.cubicTo(22, 11, 19, 15, 18, 22);
        wing.closeSubpath();
        p.fillPath(wing, Argb(kSkinAccent));
        p.setPen(Argb(color_ ? color_ : kSkinText));
        QFont f = font();
        f.setPixelSize(13);
        p.setFont(f);
        p.drawText(QRect(34, 0, width() - 130, kBar), Qt::AlignVCenter | Qt::AlignLeft, caption_);
        p.setPen(QColor(255, 255, 255, 40));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton && e->position().y() < kBar && window()->windowHandle()) {
            window()->windowHandle()->startSystemMove();
        }
    }

private:
    static constexpr int kBar = 30;
    QString caption_;
    QPushButton* minimize_;
    QPushButton* close_;
};

class PanelControl : public QWidget, public PaintedBase {
public:
    PanelControl(const ControlDef&, QWidget* parent) : QWidget(parent) {}
    QWidget* widget() override { return this; }
    void setText(const QString& t) override { text_ = t; }
    QString text() const override { return text_; }
    void setOpacity(int o) override { opacity_ = o; update(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setOpacity(paintOpacity());
        p.setRenderHint(QPainter::Antialiasing);
        // Semi-transparent, so the background picture shows through. A panel
        // laid on another panel covers what lies beneath it (the account
        // page's note over the skin controls it stands for), so it is opaque.
        const bool cover = dynamic_cast<PanelControl*>(parentWidget()) != nullptr;
        p.setBrush(QColor(16, 20, 28, cover ? 255 : 165));
        p.setPen(QColor(255, 255, 255, 28));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    }

private:
    QString text_;
};

class PictureControl : public QWidget, public PaintedBase {
public:
    PictureControl(const ControlDef&, QWidget* parent) : QWidget(parent) {}
    QWidget* widget() override { return this; }
    void setText(const QString& t) override { text_ = t; }
    QString text() const override { return text_; }
    void setOpacity(int o) override {
        opacity_ = o;
        updateOpaque();
        update();
    }
    void setPicture(const QByteArray& bytes, const QImage& image) override {
        stopMovie();
        // The file is kept, a fraction of the decoded picture's size: an
        // animation plays from it, and a picture hidden on purpose is
        // decoded from it again when it is shown.
        bytes_ = bytes;
        image_ = image;
        if (active_) startMovie();
        updateOpaque();
        update();
    }
    void setActive(bool active) override {
        active_ = active;
        if (active) startMovie(); else stopMovie();
        updateOpaque();
        update();
    }

protected:
    // A picture hidden on purpose (the start-up overlay once it has faded)
    // gives its decoded pixels back, a window's worth of memory for a large
    // one; one hidden with its window keeps them for the window's return.
    void hideEvent(QHideEvent*) override {
        if (isHidden() && !bytes_.isEmpty()) image_ = QImage();
        updateOpaque();
    }
    void showEvent(QShowEvent*) override {
        if (image_.isNull() && !bytes_.isEmpty()) image_ = DecodePicture(bytes_);
        updateOpaque();
    }
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setOpacity(paintOpacity());
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        if (movie_) {
            p.drawImage(rect(), movie_->currentImage());
        } else if (!image_.isNull()) {
            p.drawImage(rect(), image_);
        }
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (IsClick(this, e)) emitEvent(Event::Click);
    }

private:
    // A still picture without transparency, drawn at full opacity, covers
    // every pixel of the control: the widgets beneath it (all of the main
    // window under the start-up overlay) are then not painted at all.
    void updateOpaque() {
        const bool opaque = !movie_ && !image_.isNull() && !image_.hasAlphaChannel() && opacity_ >= 255;
        if (testAttribute(Qt::WA_OpaquePaintEvent) != opaque) setAttribute(Qt::WA_OpaquePaintEvent, opaque);
    }
    void startMovie() {
        if (movie_ || !bytes_.startsWith("GIF8")) return;
        buffer_ = std::make_unique<QBuffer>();
        buffer_->setData(bytes_);
        buffer_->open(QIODevice::ReadOnly);
        movie_ = std::make_unique<QMovie>(buffer_.get());
        QObject::connect(movie_.get(), &QMovie::frameChanged, this, [this] { update(); });
        movie_->start();
    }
    void stopMovie() {
        movie_.reset();
        buffer_.reset();
    }

    QString text_;
    QByteArray bytes_;
    QImage image_;
    bool active_ = false;
    std::unique_ptr<QBuffer> buffer_;
    std::unique_ptr<QMovie> movie_;
};

class LabelControl : public QWidget, public PaintedBase {
public:
    LabelControl(const ControlDef& def, QWidget* parent)
        : QWidget(parent), align_(HAlign(def.align)) {
        ApplyFont(this, def.font_px);
    }
    QWidget* widget() override { return this; }
    void setText(const QString& t) override {
        text_ = t;
        updateToolTip();
        update();
    }
    QString text() const override { return text_; }
    void setTextColor(std::uint32_t argb) override { color_ = argb; update(); }
    void setOpacity(int o) override { opacity_ = o; update(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setOpacity(paintOpacity());
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setPen(Argb(color_ ? color_ : kSkinText));
        const LabelLayout layout = Layout();
        p.drawText(rect(), layout.flags, layout.shown);
    }
    void resizeEvent(QResizeEvent*) override { updateToolTip(); }
    void changeEvent(QEvent* e) override {
        if (e->type() == QEvent::FontChange) updateToolTip();
        QWidget::changeEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (IsClick(this, e)) emitEvent(Event::Click);
    }

private:
    struct LabelLayout {
        QString shown;
        int flags;
        bool cut;  // part of the text is not shown
    };
    // A label one line high shows one line, cut with "…" where it is too
    // long (a long player name would otherwise wrap over the controls
    // below). Taller labels wrap; boxes of two lines centre their text
    // vertically, taller ones (the notice) read from the top, and so does
    // any text taller than its box, so that its first lines are the ones
    // seen.
    LabelLayout Layout() const {
        const QFontMetrics metrics = fontMetrics();
        const QString shown = DisplayText(text_);
        if (height() < 2 * metrics.lineSpacing()) {
            QString line = shown;
            line.replace(QLatin1Char('\n'), QLatin1Char(' '));
            const QString elided = metrics.elidedText(line, Qt::ElideRight, width());
            return {elided, int(align_) | Qt::AlignVCenter | Qt::TextSingleLine, elided != line};
        }
        const int wrapped = int(align_) | Qt::TextWordWrap;
        const bool overflows = metrics.boundingRect(rect(), wrapped, shown).height() > height();
        const bool tall = height() > 3 * metrics.height();
        return {shown, wrapped | (tall || overflows ? Qt::AlignTop : Qt::AlignVCenter), overflows};
    }
    // The whole text shows as the tooltip of a label that cannot show it.
    void updateToolTip() {
        const QString tip = Layout().cut ? DisplayText(text_) : QString();
        if (toolTip() != tip) setToolTip(tip);
    }

    QString text_;
    Qt::Alignment align_;
};

class ProgressControl : public QWidget, public PaintedBase {
public:
    ProgressControl(const ControlDef&, QWidget* parent) : QWidget(parent) {}
    QWidget* widget() override { return this; }
    void setText(const QString& t) override { text_ = t; }
    QString text() const override { return text_; }
    void setOpacity(int o) override { opacity_ = o; update(); }
    void setValue(int v) override { value_ = ClampToRange(v, min_, max_); update(); }
    int value() const override { return value_; }
    void setSecondValue(int v) override { second_ = ClampToRange(v, min_, max_); update(); }
    int secondValue() const override { return second_; }
    void setRange(int lo, int hi) override {
        min_ = lo;
        max_ = hi < lo ? lo : hi;
        value_ = ClampToRange(value_, min_, max_);
        second_ = ClampToRange(second_, min_, max_);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setOpacity(paintOpacity());
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        const qreal radius = std::min<qreal>(r.height() / 2, 5);
        p.setBrush(QColor(255, 255, 255, 55));
        p.drawRoundedRect(r, radius, radius);
        auto part = [&](int v) {
            const double span = max_ > min_ ? double(v - min_) / (max_ - min_) : 0.0;
            return QRectF(r.left(), r.top(), r.width() * span, r.height());
        };
        if (second_ > min_) {
            p.setBrush(QColor(0xF6, 0xB1, 0x7A, 170));
            p.drawRoundedRect(part(second_), radius, radius);
        }
        if (value_ > min_) {
            QLinearGradient g(r.topLeft(), r.bottomLeft());
            g.setColorAt(0, QColor(0xF3, 0x93, 0x4E));
            g.setColorAt(1, Argb(kSkinAccent));
            p.setBrush(g);
            p.drawRoundedRect(part(value_), radius, radius);
        }
    }

private:
    QString text_;
    int value_ = 0;
    int second_ = 0;
    int min_ = 0;
    int max_ = 100;
};

class SwitchControl : public QAbstractButton, public PaintedBase {
public:
    SwitchControl(const ControlDef& def, QWidget* parent) : QAbstractButton(parent) {
        setCheckable(true);
        setText(QString::fromStdString(def.caption));
        connect(this, &QAbstractButton::clicked, this, [this] { emitEvent(Event::Click); });
    }
    QWidget* widget() override { return this; }
    void setText(const QString& t) override { QAbstractButton::setText(t); }
    QString text() const override { return QAbstractButton::text(); }
    void setOpacity(int o) override { opacity_ = o; update(); }
    void setChecked(bool c) override { QAbstractButton::setChecked(c); }
    bool checked() const override { return isChecked(); }
    void setTextColor(std::uint32_t argb) override { color_ = argb; update(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setOpacity(paintOpacity() * (isEnabled() ? 1.0 : 0.5));
        p.setRenderHint(QPainter::Antialiasing);
        const int h = std::min(height(), 22);
        const QRectF track(0.5, (height() - h) / 2.0 + 0.5, h * 1.9, h - 1);
        p.setPen(Qt::NoPen);
        p.setBrush(isChecked() ? Argb(kSkinAccent) : QColor(255, 255, 255, 70));
        p.drawRoundedRect(track, track.height() / 2, track.height() / 2);
        const qreal d = track.height() - 4;
        const qreal x = isChecked() ? track.right() - d - 2 : track.left() + 2;
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(x, track.top() + 2, d, d));
        p.setPen(Argb(color_ ? color_ : kSkinText));
        p.drawText(QRectF(track.right() + 8, 0, width() - track.right() - 8, height()),
                   Qt::AlignVCenter | Qt::AlignLeft, QAbstractButton::text());
    }
};

// --- Qt's own widgets under the style sheet ---

class StyledBase : public Control {
public:
    void setTextColor(std::uint32_t argb) override {
        color_ = argb;
        QWidget* w = widget();
        QPalette pal = w->palette();
        const QColor c = argb ? Argb(argb) : QColor();
        for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
            if (argb) pal.setColor(role, c); else pal.setColor(role, w->parentWidget()->palette().color(role));
        }
        w->setPalette(pal);
    }
};

class ButtonControl : public QPushButton, public StyledBase {
public:
    ButtonControl(const ControlDef& def, QWidget* parent) : QPushButton(parent) {
        ApplyFont(this, def.font_px);
        setCursor(Qt::PointingHandCursor);
        connect(this, &QPushButton::clicked, this, [this] { emitEvent(Event::Click); });
    }
    QWidget* widget() override { return this; }
    void setText(const QString& t) override { text_ = t; QPushButton::setText(DisplayText(t)); }
    QString text() const override { return text_; }

private:
    QString text_;
};

class RadioControl : public QRadioButton, public StyledBase {
public:
    RadioControl(const ControlDef&, QWidget* parent) : QRadioButton(parent) {
        // Each radio button of a table stands alone; the behaviour code
        // decides which belong together.
        setAutoExclusive(false);
        connect(this, &QRadioButton::clicked, this, [this] { emitEvent(Event::Click); });
    }
    QWidget* widget() override { return this; }
    void setText(const QString& t) override { QRadioButton::setText(t); }
    QString text() const override { return QRadioButton::text(); }
    void setChecked(bool c) override { QRadioButton::setChecked(c); }
    bool checked() const override { return isChecked(); }
};

class EditControl : public QLineEdit, public StyledBase {
public:
    EditControl(const ControlDef& def, QWidget* parent) : QLineEdit(parent) {
        ApplyFont(this, def.font_px);
        setAlignment(HAlign(def.align) | Qt::AlignVCenter);
        if (def.kind == K::PasswordEdit) setEchoMode(QLineEdit::Password);
        connect(this, &QLineEdit::textEdited, this, [this](const QString& t) {
            EventArgs args;
            args.text = t.toStdString();
            emitEvent(Event::ContentChanged, args);
        });
    }
    QWidget* widget() override { return this; }
    void setText(const QString& t) override { QLineEdit::setText(t); }
    QString text() const override { return QLineEdit::text(); }

protected:
    // The key is reported before the edit takes it, in the order Windows
    // reports a key and then the change it makes.
    void keyPressEvent(QKeyEvent* e) override {
        if (const int code = WindowsKeyCode(e->key(), e->modifiers())) {
            EventArgs args;
            args.key_code = code;
            emitEvent(Event::KeyPressed, args);
        }
        QLineEdit::keyPressEvent(e);
    }
};

class TextBoxControl : public QPlainTextEdit, public StyledBase {
public:
    TextBoxControl(const ControlDef&, QWidget* parent) : QPlainTextEdit(parent) {
        setReadOnly(true);
    }
    QWidget* widget() override { return this; }
    void setText(const QString& t) override { text_ = t; setPlainText(DisplayText(t)); }
    QString text() const override { return text_; }

private:
    QString text_;
};

// A list of rows with columns: the caption names the columns and each item
// is one row, its columns parted by tabs. The player's choice of a row is
// ItemSelected; rows set by the behaviour code fire nothing.
class ListControl : public QTreeWidget, public StyledBase {
public:
    ListControl(const ControlDef& def, QWidget* parent) : QTreeWidget(parent) {
        setRootIsDecorated(false);
        setUniformRowHeights(true);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setAllColumnsShowFocus(true);
        const QStringList heading = QString::fromStdString(def.caption).split(QLatin1Char('\t'));
        setColumnCount(static_cast<int>(heading.size()));
        setHeaderLabels(heading);
        header()->setStretchLastSection(true);
        header()->setSectionsMovable(false);
        // The first column (the version id) takes what the others leave.
        header()->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < columnCount(); ++column) {
            header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
        }
        header()->setStretchLastSection(false);
        connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) { chosen(item); });
        connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item, int) { chosen(item); });
    }
    QWidget* widget() override { return this; }
    void setText(const QString& t) override {
        text_ = t;
        sync();
    }
    QString text() const override { return text_; }
    void setItems(const QStringList& items) override {
        QSignalBlocker block(this);
        QTreeWidget::clear();
        QList<QTreeWidgetItem*> rows;
        for (const QString& item : items) rows << new QTreeWidgetItem(item.split(QLatin1Char('\t')));
        addTopLevelItems(rows);
        rows_ = items;
        sync();
    }
    void addItem(const QString& item) override {
        QSignalBlocker block(this);
        addTopLevelItem(new QTreeWidgetItem(item.split(QLatin1Char('\t'))));
        rows_ << item;
        sync();
    }
    void clearItems() override {
        QSignalBlocker block(this);
        QTreeWidget::clear();
        rows_.clear();
        text_.clear();
    }
    QStringList items() const override { return rows_; }
    void setCurrentIndex(int index) override {
        text_ = index >= 0 && index < rows_.size() ? rows_[index] : QString();
        sync();
    }
    int currentIndex() const override { return static_cast<int>(rows_.indexOf(text_)); }

private:
    void chosen(QTreeWidgetItem* item) {
        const int index = indexOfTopLevelItem(item);
        if (index < 0 || index >= rows_.size()) return;
        text_ = rows_[index];
        EventArgs args;
        args.index = index;
        args.text = text_.toStdString();
        emitEvent(Event::ItemSelected, args);
    }
    // Keeps Qt's selection on the row our text names.
    void sync() {
        QSignalBlocker block(this);
        const int index = currentIndex();
        QTreeWidgetItem* row = index >= 0 ? topLevelItem(index) : nullptr;
        setCurrentItem(row);
        if (!row) clearSelection();
    }
    QString text_;
    QStringList rows_;
};

// A combo box whose text is its own: it may name no item (the version box
// shows the selected version before its list is filled). The current index
// is the first item equal to the text.
class ComboControl : public QComboBox, public StyledBase {
public:
    ComboControl(const ControlDef&, QWidget* parent) : QComboBox(parent) {
        connect(this, &QComboBox::activated, this, [this](int index) {
            text_ = itemText(index);
            update();
            EventArgs args;
            args.index = index;
            args.text = text_.toStdString();
            emitEvent(Event::ItemSelected, args);
        });
    }
    QWidget* widget() override { return this; }
    void setText(const QString& t) override {
        text_ = t;
        sync();
    }
    QString text() const override { return text_; }
    void setItems(const QStringList& items) override {
        QSignalBlocker block(this);
        QComboBox::clear();
        QComboBox::addItems(items);
        sync();
    }
    void addItem(const QString& item) override {
        QSignalBlocker block(this);
        QComboBox::addItem(item);
        sync();
    }
    void clearItems() override {
        QSignalBlocker block(this);
        QComboBox::clear();
        text_.clear();
        sync();
    }
    QStringList items() const override {
        QStringList out;
        for (int i = 0; i < count(); ++i) out << itemText(i);
        return out;
    }
    void setCurrentIndex(int index) override {
        text_ = index >= 0 && index < count() ? itemText(index) : QString();
        sync();
    }
    int currentIndex() const override { return findText(text_, Qt::MatchExactly | Qt::MatchCaseSensitive); }

    void showPopup() override {
        emitEvent(Event::ListOpened);
        // The open list is as wide as its longest item, so every item is
        // seen whole even where the box is narrower (long version ids).
        int widest = 0;
        const QFontMetrics metrics = view()->fontMetrics();
        for (int i = 0; i < count(); ++i) widest = std::max(widest, metrics.horizontalAdvance(itemText(i)));
        view()->setMinimumWidth(widest + 2 * metrics.averageCharWidth() + 24);
        QComboBox::showPopup();
    }
    // The text the closed box shows: the whole text, or as much of it as
    // fits, cut with "…" (the whole text is then the tooltip).
    QString shownText() const {
        QStyleOptionComboBox opt;
        initStyleOption(&opt);
        const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
        return fontMetrics().elidedText(text_, Qt::ElideRight, field.width());
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter p(this);
        QStyleOptionComboBox opt;
        initStyleOption(&opt);
        opt.currentText = shownText();
        opt.currentIcon = QIcon();
        p.drawComplexControl(QStyle::CC_ComboBox, opt);
        p.drawControl(QStyle::CE_ComboBoxLabel, opt);
        // The style sheet leaves the drop-down button bare; a chevron marks it.
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x4A, 0x52, 0x63), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPointF c(width() - 10.5, height() / 2.0);
        p.drawPolyline(QPolygonF({c + QPointF(-4, -2), c + QPointF(0, 2), c + QPointF(4, -2)}));
    }

private:
    // Keeps Qt's own current index (which the open list highlights) on the
    // item our text names.
    void sync() {
        QSignalBlocker block(this);
        QComboBox::setCurrentIndex(currentIndex());
        updateToolTip();
        update();
    }
    void updateToolTip() {
        const QString tip = shownText() == text_ ? QString() : text_;
        if (toolTip() != tip) setToolTip(tip);
    }
    void resizeEvent(QResizeEvent* e) override {
        QComboBox::resizeEvent(e);
        updateToolTip();
    }
    QString text_;
};

// A slider with a second marker (the recommended position, for instance).
class SliderControl : public QSlider, public StyledBase {
public:
    SliderControl(const ControlDef&, QWidget* parent) : QSlider(Qt::Horizontal, parent) {
        setRange(0, 100);
        connect(this, &QSlider::valueChanged, this, [this](int v) {
            if (programmatic_) return;
            EventArgs args;
            args.value = v;
            emitEvent(Event::PositionChanged, args);
        });
    }
    QWidget* widget() override { return this; }
    void setText(const QString& t) override { text_ = t; }
    QString text() const override { return text_; }
    void setValue(int v) override {
        programmatic_ = true;
        QSlider::setValue(v);
        programmatic_ = false;
    }
    int value() const override { return QSlider::value(); }
    void setSecondValue(int v) override { second_ = ClampToRange(v, minimum(), maximum()); update(); }
    int secondValue() const override { return second_; }
    void setRange(int lo, int hi) override {
        programmatic_ = true;
        QSlider::setRange(lo, hi < lo ? lo : hi);
        programmatic_ = false;
        second_ = ClampToRange(second_, minimum(), maximum());
    }

protected:
    void paintEvent(QPaintEvent* e) override {
        QSlider::paintEvent(e);
        if (second_ <= minimum() || maximum() <= minimum()) return;
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const double x = 6 + (width() - 12) * double(second_ - minimum()) / (maximum() - minimum());
        QPainterPath mark;
        mark.moveTo(x, height() - 1);
        mark.lineTo(x - 4, height() - 7);
        mark.lineTo(x + 4, height() - 7);
        mark.closeSubpath();
        p.fillPath(mark, Argb(kSkinAccent));
    }

private:
    QString text_;
    int second_ = 0;
    bool programmatic_ = false;
};

// The media player of a table has nothing to show; music plays through the
// application's players. The control exists so its name is known.
class InvisibleControl : public QWidget, public StyledBase {
public:
    InvisibleControl(const ControlDef&, QWidget* parent) : QWidget(parent) {}
    QWidget* widget() override { return this; }
    void setText(const QString& t) override { text_ = t; }
    QString text() const override { return text_; }

private:
    QString text_;
};

}  // namespace

void Control::setOpacity(int opacity) {
    opacity_ = opacity;
    QWidget* w = widget();
    if (opacity >= 255) {
        w->setGraphicsEffect(nullptr);
        return;
    }
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(w->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(w);
        w->setGraphicsEffect(effect);
    }
    effect->setOpacity(opacity / 255.0);
}

Control* MakeControl(const ControlDef& def, QWidget* parent) {
    Control* c = nullptr;
    switch (def.kind) {
        case K::Frame: c = new FrameControl(def, parent); break;
        case K::Panel: c = new PanelControl(def, parent); break;
        case K::Picture: c = new PictureControl(def, parent); break;
        case K::Label: c = new LabelControl(def, parent); break;
        case K::Button: c = new ButtonControl(def, parent); break;
        case K::Edit:
        case K::PasswordEdit: c = new EditControl(def, parent); break;
        case K::ComboBox: c = new ComboControl(def, parent); break;
        case K::ProgressBar: c = new ProgressControl(def, parent); break;
        case K::Slider: c = new SliderControl(def, parent); break;
        case K::Switch: c = new SwitchControl(def, parent); break;
        case K::RadioButton: c = new RadioControl(def, parent); break;
        case K::TextBox: c = new TextBoxControl(def, parent); break;
        case K::List: c = new ListControl(def, parent); break;
        case K::MediaPlayer: c = new InvisibleControl(def, parent); break;
    }
    QWidget* w = c->widget();
    w->setObjectName(QString::fromStdString(def.name));
    w->setGeometry(def.x, def.y, def.width, def.height);
    QStringList items;
    for (const std::string& item : def.items) items << QString::fromStdString(item);
    if (!items.isEmpty()) c->setItems(items);
    // A list's caption is its column heading, set when it was built.
    if (def.kind != K::List) c->setText(QString::fromStdString(def.caption));
    if (def.text_color) c->setTextColor(def.text_color);
    w->setVisible(def.visible);
    return c;
}

QString DisplayText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

QString SkinStyleSheet() {
    return QStringLiteral(R"(
QPushButton {
  color: #ffffff; background: #e8772e; border: none; border-radius: 4px; padding: 2px 6px;
}
QPushButton:hover { background: #f08a45; }
QPushButton:pressed { background: #c9611f; }
QPushButton:disabled { background: #6b5446; color: #c8c0ba; }
QPushButton[frameButton="true"] {
  background: transparent; color: #dfe3ea; border-radius: 0; font-size: 14px;
}
QPushButton[frameButton="true"]:hover { background: rgba(255,255,255,30); }
QPushButton[closeButton="true"]:hover { background: #d64541; color: #ffffff; }
QLineEdit, QPlainTextEdit, QTreeWidget {
  color: #1d2230; background: rgba(255,255,255,225); border: 1px solid rgba(255,255,255,90);
  border-radius: 3px; padding: 0 4px; selection-background-color: #e8772e;
}
QComboBox {
  color: #1d2230; background: rgba(255,255,255,225); border: 1px solid rgba(255,255,255,90);
  border-radius: 3px; padding: 0 6px;
}
QComboBox::drop-down { border: none; width: 18px; }
QComboBox QAbstractItemView {
  color: #1d2230; background: #ffffff; selection-background-color: #e8772e;
  selection-color: #ffffff;
}
QTreeWidget { padding: 0; selection-background-color: #e8772e; selection-color: #ffffff; }
QHeaderView::section {
  color: #1d2230; background: rgba(232,236,242,235); border: none;
  border-bottom: 1px solid rgba(0,0,0,40); padding: 2px 6px;
}
QRadioButton { color: #f2f4f8; }
QSlider::groove:horizontal { height: 4px; background: rgba(255,255,255,70); border-radius: 2px; }
QSlider::sub-page:horizontal { background: #e8772e; border-radius: 2px; }
QSlider::handle:horizontal {
  width: 12px; margin: -5px 0; border-radius: 6px; background: #ffffff;
}
)");
}

}  // namespace kestrel::toolkit::qt
