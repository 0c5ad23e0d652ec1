#include "platform/WindowFinder.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <map>
#include <mutex>
#include <set>
#include <vector>

namespace kestrel::platform {
namespace {

// Xlib reports protocol errors to one handler for the whole process, and its
// default handler ends the program. Our requests meet errors in ordinary
// use: a window can vanish between listing it and reading its properties.
// So errors on our own connections are counted here instead; errors on any
// other connection of the process go on to the handler that was installed
// before ours. The trap is process-wide because the Xlib handler is; it holds
// nothing but the set of our open connections.
class ErrorTrap {
public:
    static ErrorTrap& Instance() {
        static ErrorTrap trap;
        return trap;
    }

    void Add(Display* display) {
        std::call_once(installed_, [this] { previous_ = XSetErrorHandler(&ErrorTrap::Handle); });
        std::lock_guard lock(mutex_);
        errors_[display] = 0;
    }
    void Remove(Display* display) {
        std::lock_guard lock(mutex_);
        errors_.erase(display);
    }
    int Errors(Display* display) {
        std::lock_guard lock(mutex_);
        const auto found = errors_.find(display);
        return found == errors_.end() ? 0 : found->second;
    }

private:
    static int Handle(Display* display, XErrorEvent* event) {
        ErrorTrap& trap = Instance();
        XErrorHandler previous = nullptr;
        {
            std::lock_guard lock(trap.mutex_);
            const auto found = trap.errors_.find(display);
            if (found != trap.errors_.end()) {
                ++found->second;
                return 0;
            }
            previous = trap.previous_;
        }
        return previous ? previous(display, event) : 0;
    }

    std::once_flag installed_;
    std::mutex mutex_;
    std::map<Display*, int> errors_;
    XErrorHandler previous_ = nullptr;
};

// One connection to the X server of $DISPLAY, for the length of one call.
class Connection {
public:
    Connection() : display_(XOpenDisplay(nullptr)) {
        if (display_) ErrorTrap::Instance().Add(display_);
    }
    ~Connection() {
        if (!display_) return;
        // Every error of our requests arrives before the trap lets go of the
        // connection.
        XSync(display_, False);
        ErrorTrap::Instance().Remove(display_);
        XCloseDisplay(display_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Display* get() const { return display_; }
    explicit operator bool() const { return display_ != nullptr; }
    // Errors so far, after waiting for the answers to every request sent.
    int Errors() const {
        XSync(display_, False);
        return ErrorTrap::Instance().Errors(display_);
    }

private:
    Display* display_;
};

// Enough for any client list or title; properties are read in one request.
constexpr long kMaxPropertyLongs = 1L << 20;

// A property of 32-bit items (windows, cardinals) of the given type.
std::vector<unsigned long> LongsProperty(Display* display, Window window, Atom property, Atom type) {
    Atom actual_type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display, window, property, 0, kMaxPropertyLongs, False, type, &actual_type, &format,
                           &count, &remaining, &data) != Success) {
        return values;
    }
    if (data && actual_type == type && format == 32) {
        // Xlib hands 32-bit items over as longs, whatever the size of long.
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        values.assign(items, items + count);
    }
    if (data) XFree(data);
    return values;
}

// A property of 8-bit text of the given type.
std::string TextProperty(Display* display, Window window, Atom property, Atom type) {
    Atom actual_type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, window, property, 0, kMaxPropertyLongs, False, type, &actual_type, &format,
                           &count, &remaining, &data) != Success) {
        return text;
    }
    if (data && actual_type == type && format == 8) text.assign(reinterpret_cast<const char*>(data), count);
    if (data) XFree(data);
    return text;
}

// The windows that may be top-level windows of a program: the window
// manager's client list first (with a window manager, the root's children
// are its frames), then the root's children (without one, they are the
// programs' windows themselves).
std::vector<Window> TopLevelCandidates(Display* display) {
    const Window root = DefaultRootWindow(display);
    std::vector<Window> candidates;
    std::set<Window> seen;
    const Atom client_list = XInternAtom(display, "_NET_CLIENT_LIST", True);
    if (client_list != None) {
        for (const unsigned long window : LongsProperty(display, root, client_list, XA_WINDOW)) {
            if (seen.insert(window).second) candidates.push_back(window);
        }
    }
    Window root_return = None;
    Window parent_return = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, root, &root_return, &parent_return, &children, &count)) {
        for (unsigned int i = 0; i < count; ++i) {
            if (seen.insert(children[i]).second) candidates.push_back(children[i]);
        }
    }
    if (children) XFree(children);
    return candidates;
}

bool IsVisibleTopLevelOf(Display* display, Window window, Atom pid_atom, int pid) {
    const std::vector<unsigned long> owner_pid = LongsProperty(display, window, pid_atom, XA_CARDINAL);
    if (owner_pid.empty() || owner_pid.front() != static_cast<unsigned long>(pid)) return false;
    Window owner = None;
    if (XGetTransientForHint(display, window, &owner) && owner != None) return false;
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

bool Exists(Display* display, Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) != 0;
}

}  // namespace

WindowId FindWindowOf(int pid) {
    if (pid <= 0) return kNoWindow;
    Connection connection;
    if (!connection) return kNoWindow;
    Display* display = connection.get();
    // An atom nobody has made yet is a property no window carries.
    const Atom pid_atom = XInternAtom(display, "_NET_WM_PID", True);
    if (pid_atom == None) return kNoWindow;
    for (const Window window : TopLevelCandidates(display)) {
        if (IsVisibleTopLevelOf(display, window, pid_atom, pid)) return window;
    }
    return kNoWindow;
}

bool SetWindowTitle(WindowId window, const std::string& title) {
    if (window == kNoWindow) return false;
    Connection connection;
    if (!connection) return false;
    Display* display = connection.get();
    const auto target = static_cast<Window>(window);
    if (!Exists(display, target)) return false;

    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom net_name = XInternAtom(display, "_NET_WM_NAME", False);
    const auto* bytes = reinterpret_cast<const unsigned char*>(title.data());
    const int length = static_cast<int>(title.size());
    XChangeProperty(display, target, net_name, utf8, 8, PropModeReplace, bytes, length);

    // WM_NAME as older window managers read it: Latin-1 text where that is
    // enough, else compound text; UTF-8 when neither can hold the title.
    char* list[] = {const_cast<char*>(title.c_str())};
    XTextProperty text{};
    const int converted = Xutf8TextListToTextProperty(display, list, 1, XStdICCTextStyle, &text);
    if (converted == Success) {
        XSetWMName(display, target, &text);
    } else {
        XChangeProperty(display, target, XA_WM_NAME, utf8, 8, PropModeReplace, bytes, length);
    }
    if (text.value) XFree(text.value);
    return connection.Errors() == 0;
}

std::string WindowTitle(WindowId window) {
    if (window == kNoWindow) return "";
    Connection connection;
    if (!connection) return "";
    Display* display = connection.get();
    const auto target = static_cast<Window>(window);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", True);
    const Atom net_name = XInternAtom(display, "_NET_WM_NAME", True);
    if (utf8 != None && net_name != None) {
        std::string title = TextProperty(display, target, net_name, utf8);
        if (!title.empty()) return title;
    }
    XTextProperty text{};
    std::string title;
    if (XGetWMName(display, target, &text) && text.value) {
        char** list = nullptr;
        int count = 0;
        if (Xutf8TextPropertyToTextList(display, &text, &list, &count) >= Success && list) {
            for (int i = 0; i < count; ++i) title += list[i];
            XFreeStringList(list);
        }
    }
    if (text.value) XFree(text.value);
    return title;
}

}  // namespace kestrel::platform
