#include "toolkit/MemorySurface.h"

#include <cstdio>
#include <utility>

#include "toolkit/ComboText.h"

namespace kestrel::toolkit {
namespace {

using K = ControlKind;

bool KindIn(K kind, std::initializer_list<K> kinds) {
    for (K k : kinds) {
        if (k == kind) return true;
    }
    return false;
}

std::string Hex(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", v);
    return buf;
}

const std::initializer_list<K> kPictures = {K::Picture};
// A list keeps its rows and its chosen row as a combo box keeps its items.
const std::initializer_list<K> kCombos = {K::ComboBox, K::List};
const std::initializer_list<K> kBars = {K::ProgressBar, K::Slider};
const std::initializer_list<K> kToggles = {K::Switch, K::RadioButton};
const std::initializer_list<K> kEdits = {K::Edit, K::PasswordEdit};

}  // namespace

MemorySurface::MemorySurface(WindowDef def) : def_(std::move(def)) {
    title_ = def_.title;
    window_size_ = {def_.width, def_.height};
    for (const ControlDef& c : def_.controls) {
        ControlState s;
        s.def = c;
        s.geometry = {c.x, c.y, c.width, c.height};
        // A list's caption is its column heading, not a text of the list.
        if (c.kind != K::List) s.text = c.caption;
        s.visible = c.visible;
        s.text_color = c.text_color;
        s.items = c.items;
        s.current_index = IndexOfText(s.items, s.text);
        controls_.emplace(c.name, std::move(s));
    }
}

// --- lookups and the change log (all under mu_) ---

ControlState* MemorySurface::Find(const std::string& name, const char* operation) {
    auto it = controls_.find(name);
    if (it == controls_.end()) {
        problems_.push_back(std::string(operation) + ": no control named " + name);
        return nullptr;
    }
    return &it->second;
}

const ControlState* MemorySurface::Find(const std::string& name, const char* operation) const {
    return const_cast<MemorySurface*>(this)->Find(name, operation);
}

ControlState* MemorySurface::FindKind(const std::string& name, const char* operation,
                                      std::initializer_list<ControlKind> kinds) {
    ControlState* s = Find(name, operation);
    if (s && !KindIn(s->def.kind, kinds)) {
        problems_.push_back(std::string(operation) + " on " + name + ", a " +
                            std::string(KindName(s->def.kind)));
        return nullptr;
    }
    return s;
}

const ControlState* MemorySurface::FindKind(const std::string& name, const char* operation,
                                            std::initializer_list<ControlKind> kinds) const {
    return const_cast<MemorySurface*>(this)->FindKind(name, operation, kinds);
}

void MemorySurface::Record(const std::string& control, const std::string& property,
                           std::string value) {
    changes_.push_back({control, property, std::move(value)});
    ++version_;
    changed_.notify_all();
}

// --- the window ---

void MemorySurface::ShowWindow() {
    bool first = false;
    {
        std::lock_guard lock(mu_);
        first = !created_;
        created_ = true;
        shown_ = true;
        minimized_ = false;
        closed_ = false;
        Record(def_.name, "window", "shown");
    }
    if (first) Fire(def_.name, Event::WindowCreated);
    // Nothing is drawn here; the first frame counts as drawn at once.
    if (first) Fire(def_.name, Event::WindowDrawn);
}

void MemorySurface::HideWindow() {
    std::lock_guard lock(mu_);
    shown_ = false;
    Record(def_.name, "window", "hidden");
}

void MemorySurface::MinimizeWindow() {
    std::lock_guard lock(mu_);
    minimized_ = true;
    Record(def_.name, "window", "minimized");
}

void MemorySurface::CloseWindow() {
    {
        std::lock_guard lock(mu_);
        if (closed_ || !created_) return;
        shown_ = false;
        closed_ = true;
        ++close_count_;
        Record(def_.name, "window", "closed");
    }
    Fire(def_.name, Event::WindowClosed);
}

void MemorySurface::SetWindowTitle(const std::string& title) {
    std::lock_guard lock(mu_);
    title_ = title;
    Record(def_.name, "title", title);
}

void MemorySurface::ResizeWindow(int width, int height) {
    std::lock_guard lock(mu_);
    window_size_ = {width, height};
    Record(def_.name, "window size", std::to_string(width) + "x" + std::to_string(height));
}

bool MemorySurface::WindowVisible() const {
    std::lock_guard lock(mu_);
    return shown_ && !minimized_;
}

// --- every control ---

void MemorySurface::Show(const std::string& name) {
    std::lock_guard lock(mu_);
    if (ControlState* s = Find(name, "Show")) {
        s->visible = true;
        Record(name, "visible", "1");
    }
}

void MemorySurface::Hide(const std::string& name) {
    std::lock_guard lock(mu_);
    if (ControlState* s = Find(name, "Hide")) {
        s->visible = false;
        Record(name, "visible", "0");
    }
}

bool MemorySurface::Visible(const std::string& name) const {
    std::lock_guard lock(mu_);
    const ControlState* s = Find(name, "Visible");
    return s && s->visible;
}

void MemorySurface::Move(const std::string& name, int x, int y) {
    std::lock_guard lock(mu_);
    if (ControlState* s = Find(name, "Move")) {
        s->geometry.x = x;
        s->geometry.y = y;
        Record(name, "x,y", std::to_string(x) + "," + std::to_string(y));
    }
}

void MemorySurface::Resize(const std::string& name, int width, int height) {
    std::lock_guard lock(mu_);
    if (ControlState* s = Find(name, "Resize")) {
        s->geometry.width = width;
        s->geometry.height = height;
        Record(name, "size", std::to_string(width) + "x" + std::to_string(height));
    }
}

Rect MemorySurface::Geometry(const std::string& name) const {
    std::lock_guard lock(mu_);
    const ControlState* s = Find(name, "Geometry");
    return s ? s->geometry : Rect{};
}

void MemorySurface::SetText(const std::string& name, const std::string& text) {
    std::lock_guard lock(mu_);
    if (ControlState* s = Find(name, "SetText")) {
        s->text = text;
        if (s->def.kind == K::ComboBox || s->def.kind == K::List) s->current_index = IndexOfText(s->items, text);
        Record(name, "text", text);
    }
}

std::string MemorySurface::Text(const std::string& name) const {
    std::lock_guard lock(mu_);
    const ControlState* s = Find(name, "Text");
    return s ? s->text : "";
}

void MemorySurface::SetEnabled(const std::string& name, bool enabled) {
    std::lock_guard lock(mu_);
    if (ControlState* s = Find(name, "SetEnabled")) {
        s->enabled = enabled;
        Record(name, "enabled", enabled ? "1" : "0");
    }
}

bool MemorySurface::Enabled(const std::string& name) const {
    std::lock_guard lock(mu_);
    const ControlState* s = Find(name, "Enabled");
    return s && s->enabled;
}

void MemorySurface::SetOpacity(const std::string& name, int opacity) {
    std::lock_guard lock(mu_);
    if (ControlState* s = Find(name, "SetOpacity")) {
        s->opacity = ClampOpacity(opacity);
        Record(name, "opacity", std::to_string(s->opacity));
    }
}

int MemorySurface::Opacity(const std::string& name) const {
    std::lock_guard lock(mu_);
    const ControlState* s = Find(name, "Opacity");
    return s ? s->opacity : 0;
}

void MemorySurface::SetTextColor(const std::string& name, std::uint32_t argb) {
    std::lock_guard lock(mu_);
    if (ControlState* s = Find(name, "SetTextColor")) {
        s->text_color = argb;
        Record(name, "text color", Hex(argb));
    }
}

std::uint32_t MemorySurface::TextColor(const std::string& name) const {
    std::lock_guard lock(mu_);
    const ControlState* s = Find(name, "TextColor");
    return s ? s->text_color : 0;
}

void MemorySurface::SetPicture(const std::string& name, const std::string& image_bytes) {
    std::lock_guard lock(mu_);
    if (ControlState* s = FindKind(name, "SetPicture", kPictures)) {
        s->picture = image_bytes;
        Record(name, "picture", std::to_string(image_bytes.size()) + " bytes");
    }
}

void MemorySurface::SetActive(const std::string& name, bool active) {
    std::lock_guard lock(mu_);
    if (ControlState* s = FindKind(name, "SetActive", kPictures)) {
        s->active = active;
        Record(name, "active", active ? "1" : "0");
    }
}

void MemorySurface::SetItems(const std::string& name, const std::vector<std::string>& items) {
    std::lock_guard lock(mu_);
    if (ControlState* s = FindKind(name, "SetItems", kCombos)) {
        s->items = items;
        s->current_index = IndexOfText(s->items, s->text);
        Record(name, "items", std::to_string(items.size()) + " items");
    }
}

void MemorySurface::AddItem(const std::string& name, const std::string& item) {
    std::lock_guard lock(mu_);
    if (ControlState* s = FindKind(name, "AddItem", kCombos)) {
        s->items.push_back(item);
        s->current_index = IndexOfText(s->items, s->text);
        Record(name, "item added", item);
    }
}

void MemorySurface::ClearItems(const std::string& name) {
    std::lock_guard lock(mu_);
    if (ControlState* s = FindKind(name, "ClearItems", kCombos)) {
        s->items.clear();
        s->text.clear();
        s->current_index = -1;
        Record(name, "items", "0 items");
    }
}

std::vector<std::string> MemorySurface::Items(const std::string& name) const {
    std::lock_guard lock(mu_);
    const ControlState* s = FindKind(name, "Items", kCombos);
    return s ? s->items : std::vector<std::string>{};
}

void MemorySurface::SetCurrentIndex(const std::string& name, int index) {
    std::lock_guard lock(mu_);
    if (ControlState* s = FindKind(name, "SetCurrentIndex", kCombos)) {
        s->text = TextOfIndex(s->items, index);
        s->current_index = IndexOfText(s->items, s->text);
        Record(name, "index", std::to_string(s->current_index));
    }
}

int MemorySurface::CurrentIndex(const std::string& name) const {
    std::lock_guard lock(mu_);
    const ControlState* s = FindKind(name, "CurrentIndex", kCombos);
    return s ? s->current_index : -1;
}

void MemorySurface::SetValue(const std::string& name, int value) {
    std::lock_guard lock(mu_);
    if (ControlState* s = FindKind(name, "SetValue", kBars)) {
        s->value = ClampToRange(value, s->minimum, s->maximum);
        Record(name, "value", std::to_string(s->value));
    }
}

int MemorySurface::Value(const std::string& name) const {
    std::lock_guard lock(mu_);
    const ControlState* s = FindKind(name, "Value", kBars);
    return s ? s->value : 0;
}

void MemorySurface::SetSecondValue(const std::string& name, int value) {
    std::lock_guard lock(mu_);
    if (ControlState* s = FindKind(name, "SetSecondValue", kBars)) {
        s->second_value = ClampToRange(value, s->minimum, s->maximum);
        Record(name, "second value", std::to_string(s->second_value));
    }
}

int MemorySurface::SecondValue(const std::string& name) const {
    std::lock_guard lock(mu_);
    const ControlState* s = FindKind(name, "SecondValue", kBars);
    return s ? s->second_value : 0;
}

void MemorySurface::SetRange(const std::string& name, int minimum, int maximum) {
    std::lock_guard lock(mu_);
    if (ControlState* s = FindKind(name, "SetRange", kBars)) {
        s->minimum = minimum;
        s->maximum = maximum < minimum ? minimum : maximum;
        s->value = ClampToRange(s->value, s->minimum, s->maximum);
        s->second_value = ClampToRange(s->second_value, s->minimum, s->maximum);
        Record(name, "range", std::to_string(s->minimum) + ".." + std::to_string(s->maximum));
    }
}

void MemorySurface::SetChecked(const std::string& name, bool checked) {
    std::lock_guard lock(mu_);
    if (ControlState* s = FindKind(name, "SetChecked", kToggles)) {
        s->checked = checked;
        Record(name, "checked", checked ? "1" : "0");
    }
}

bool MemorySurface::Checked(const std::string& name) const {
    std::lock_guard lock(mu_);
    const ControlState* s = FindKind(name, "Checked", kToggles);
    return s && s->checked;
}

void MemorySurface::On(const std::string& name, Event event, Handler handler) {
    std::lock_guard lock(mu_);
    if (name != def_.name && !Find(name, "On")) return;
    handlers_[{name, event}].push_back(std::move(handler));
}

// --- for tests ---

std::optional<ControlState> MemorySurface::State(const std::string& name) const {
    std::lock_guard lock(mu_);
    auto it = controls_.find(name);
    if (it == controls_.end()) return std::nullopt;
    return it->second;
}

std::string MemorySurface::Picture(const std::string& name) const {
    std::lock_guard lock(mu_);
    const ControlState* s = FindKind(name, "Picture", kPictures);
    return s ? s->picture : "";
}

bool MemorySurface::Active(const std::string& name) const {
    std::lock_guard lock(mu_);
    const ControlState* s = FindKind(name, "Active", kPictures);
    return s && s->active;
}

std::pair<int, int> MemorySurface::Range(const std::string& name) const {
    std::lock_guard lock(mu_);
    const ControlState* s = FindKind(name, "Range", kBars);
    return s ? std::pair{s->minimum, s->maximum} : std::pair{0, 0};
}

std::string MemorySurface::WindowTitle() const {
    std::lock_guard lock(mu_);
    return title_;
}

bool MemorySurface::WindowOpen() const {
    std::lock_guard lock(mu_);
    return created_ && !closed_;
}

bool MemorySurface::Minimized() const {
    std::lock_guard lock(mu_);
    return minimized_;
}

int MemorySurface::CloseCount() const {
    std::lock_guard lock(mu_);
    return close_count_;
}

bool MemorySurface::ReachableLocked(const std::string& name) const {
    if (!shown_ || minimized_) return false;
    std::string current = name;
    // A table lists parents before children, so the walk ends; the bound
    // guards a table built by hand with a cycle.
    for (size_t depth = 0; !current.empty() && depth <= controls_.size(); ++depth) {
        auto it = controls_.find(current);
        if (it == controls_.end()) return false;
        if (!it->second.visible || !it->second.enabled) return false;
        current = it->second.def.parent;
    }
    return current.empty();
}

bool MemorySurface::Reachable(const std::string& name) const {
    std::lock_guard lock(mu_);
    return ReachableLocked(name);
}

bool MemorySurface::Click(const std::string& name) {
    if (!Reachable(name)) return false;
    Fire(name, Event::Click);
    return true;
}

bool MemorySurface::Choose(const std::string& name, int index) {
    EventArgs args;
    {
        std::lock_guard lock(mu_);
        if (!ReachableLocked(name)) return false;
        ControlState* s = FindKind(name, "Choose", kCombos);
        if (!s || index < 0 || index >= static_cast<int>(s->items.size())) return false;
        s->text = s->items[static_cast<size_t>(index)];
        s->current_index = index;
        Record(name, "chosen", s->text);
        args.index = index;
        args.text = s->text;
    }
    Fire(name, Event::ItemSelected, args);
    return true;
}

bool MemorySurface::OpenList(const std::string& name) {
    {
        std::lock_guard lock(mu_);
        if (!ReachableLocked(name) || !FindKind(name, "OpenList", kCombos)) return false;
    }
    Fire(name, Event::ListOpened);
    return true;
}

bool MemorySurface::Type(const std::string& name, const std::string& text) {
    EventArgs args;
    {
        std::lock_guard lock(mu_);
        if (!ReachableLocked(name)) return false;
        ControlState* s = FindKind(name, "Type", kEdits);
        if (!s) return false;
        s->text = text;
        Record(name, "typed", text);
        args.text = text;
    }
    Fire(name, Event::ContentChanged, args);
    return true;
}

bool MemorySurface::PressKey(const std::string& name, int key_code) {
    {
        std::lock_guard lock(mu_);
        if (name == def_.name) {
            // A key for the window itself, as when no edit has the focus.
            if (!shown_ || minimized_) return false;
        } else if (!ReachableLocked(name) || !FindKind(name, "PressKey", kEdits)) {
            return false;
        }
    }
    EventArgs args;
    args.key_code = key_code;
    Fire(name, Event::KeyPressed, args);
    return true;
}

bool MemorySurface::Drag(const std::string& name, int position) {
    EventArgs args;
    {
        std::lock_guard lock(mu_);
        if (!ReachableLocked(name)) return false;
        ControlState* s = FindKind(name, "Drag", {K::Slider});
        if (!s) return false;
        s->value = ClampToRange(position, s->minimum, s->maximum);
        Record(name, "dragged", std::to_string(s->value));
        args.value = s->value;
    }
    Fire(name, Event::PositionChanged, args);
    return true;
}

bool MemorySurface::CloseByPlayer() {
    {
        std::lock_guard lock(mu_);
        if (!shown_ || closed_) return false;
    }
    CloseWindow();
    return true;
}

int MemorySurface::Fire(const std::string& name, Event event, const EventArgs& args) {
    std::vector<Handler> handlers;
    {
        std::lock_guard lock(mu_);
        auto it = handlers_.find({name, event});
        if (it != handlers_.end()) handlers = it->second;
    }
    for (const Handler& h : handlers) h(args);
    return static_cast<int>(handlers.size());
}

int MemorySurface::HandlerCount(const std::string& name, Event event) const {
    std::lock_guard lock(mu_);
    auto it = handlers_.find({name, event});
    return it == handlers_.end() ? 0 : static_cast<int>(it->second.size());
}

std::vector<Change> MemorySurface::Changes() const {
    std::lock_guard lock(mu_);
    return changes_;
}

std::vector<std::string> MemorySurface::History(const std::string& name,
                                                const std::string& property) const {
    std::lock_guard lock(mu_);
    std::vector<std::string> values;
    for (const Change& c : changes_) {
        if (c.control == name && c.property == property) values.push_back(c.value);
    }
    return values;
}

void MemorySurface::ClearChanges() {
    std::lock_guard lock(mu_);
    changes_.clear();
}

std::vector<std::string> MemorySurface::Problems() const {
    std::lock_guard lock(mu_);
    return problems_;
}

bool MemorySurface::WaitUntil(const std::function<bool()>& pred,
                              std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(mu_);
    for (;;) {
        const unsigned long long seen = version_;
        lock.unlock();
        if (pred()) return true;
        lock.lock();
        if (!changed_.wait_until(lock, deadline, [&] { return version_ != seen; })) {
            lock.unlock();
            return pred();
        }
    }
}

}  // namespace kestrel::toolkit
