#pragma once

// The windows on a test's own X server (XvfbServer.h), read through Xlib:
// the viewable top-level windows by title or owner, their UTF-8 titles and
// owners, and their pictures. There is no window manager on that server, so
// the top-level windows are the root window's children.
//
// Threading: Xlib displays are not shared between threads; each test uses
// its own connection on its own thread.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <functional>
#include <string>
#include <vector>

namespace kestrel::testing {

// Windows come and go while a test looks at them; a request about one that
// has just gone fails with an X error, which by default ends the process.
// Afterwards such errors are ignored, and the request just gives nothing.
inline void IgnoreXErrors() {
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
}

// The viewable children of the root window, bottom first.
inline std::vector<Window> ViewableTopLevelWindows(Display* display) {
    Window root_return = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<Window> windows;
    if (!XQueryTree(display, DefaultRootWindow(display), &root_return, &parent, &children, &count)) return windows;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable) {
            windows.push_back(children[i]);
        }
    }
    if (children) XFree(children);
    return windows;
}

// The window's WM_NAME (as XFetchName reads it), or "".
inline std::string WmName(Display* display, Window window) {
    char* name = nullptr;
    std::string text;
    if (XFetchName(display, window, &name) && name) {
        text = name;
        XFree(name);
    }
    return text;
}

// The window's _NET_WM_NAME (UTF-8), the title window managers show; "" when
// it has none.
inline std::string NetWmName(Display* display, Window window) {
    const Atom property = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, utf8, &type, &format, &items, &after, &data) ==
            Success &&
        data) {
        if (type == utf8 && format == 8) text.assign(reinterpret_cast<const char*>(data), items);
        XFree(data);
    }
    return text;
}

// The process id in the window's _NET_WM_PID, or 0.
inline long WindowPid(Display* display, Window window) {
    const Atom property = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = 0;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                           &data) == Success &&
        data) {
        if (type == XA_CARDINAL && format == 32 && items == 1) pid = *reinterpret_cast<const long*>(data);
        XFree(data);
    }
    return pid;
}

// The first viewable top-level window that fits, or 0.
inline Window TopLevelWindowWhere(Display* display, const std::function<bool(Window)>& fits) {
    for (const Window window : ViewableTopLevelWindows(display)) {
        if (fits(window)) return window;
    }
    return 0;
}

// The viewable top-level window whose WM_NAME is title, or 0.
inline Window TopLevelWindowTitled(Display* display, const std::string& title) {
    return TopLevelWindowWhere(display, [&](Window window) { return WmName(display, window) == title; });
}

}  // namespace kestrel::testing
