// A small X client for the window finder's tests. It opens, on $DISPLAY:
//   1. an unmapped window that carries its process id (not visible),
//   2. a mapped dialog window, transient for the next one (owned),
//   3. its main window, mapped, carrying its process id,
// prints the main window's id (decimal) and a line break on standard output
// once the server has processed all of it, and stays until its standard
// input ends (the test closes it, or the test itself ended).
//
// Options: --title TEXT names the main window; --framed puts the main window
// into a frame window without a process id, the way a window manager does,
// and lists it in the root window's _NET_CLIENT_LIST as a window manager
// would.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void SetPid(Display* display, Window window) {
    const Atom pid_atom = XInternAtom(display, "_NET_WM_PID", False);
    const long pid = ::getpid();
    XChangeProperty(display, window, pid_atom, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
}

Window Make(Display* display, Window parent) {
    return XCreateSimpleWindow(display, parent, 10, 10, 200, 100, 0, 0, 0);
}

}  // namespace

int main(int argc, char** argv) {
    std::string title = "window finder client";
    bool framed = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--title") == 0 && i + 1 < argc) title = argv[++i];
        if (std::strcmp(argv[i], "--framed") == 0) framed = true;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "window finder client: no display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);

    const Window hidden = Make(display, root);
    SetPid(display, hidden);

    const Window dialog = Make(display, root);
    SetPid(display, dialog);

    const Window frame = framed ? Make(display, root) : root;
    const Window main_window = Make(display, frame);
    SetPid(display, main_window);
    XStoreName(display, main_window, title.c_str());
    XSetTransientForHint(display, dialog, main_window);

    XMapWindow(display, dialog);
    XMapWindow(display, main_window);
    if (framed) {
        XMapWindow(display, frame);
        const Atom client_list = XInternAtom(display, "_NET_CLIENT_LIST", False);
        XChangeProperty(display, root, client_list, XA_WINDOW, 32, PropModeAppend,
                        reinterpret_cast<const unsigned char*>(&main_window), 1);
    }
    XSync(display, False);

    std::printf("%lu\n", static_cast<unsigned long>(main_window));
    std::fflush(stdout);

    char buffer[64];
    while (::read(0, buffer, sizeof buffer) > 0) {
    }
    XCloseDisplay(display);
    return 0;
}
