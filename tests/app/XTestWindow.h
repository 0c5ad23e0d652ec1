#pragma once

// What the end-to-end tests of the real kestrel share: the options file and
// the account file they start it with, the display they click on, a window's
// picture as the X server shows it, and a left click through XTest.
//
// Threading: the test's main thread only.

#include <QImage>

#include <string>

// Xlib's macros (Status, None, Bool) clash with names of other headers, so
// include this one after them.
#include "support/X11Windows.h"
#include <X11/extensions/XTest.h>

namespace kestrel::testing {

// The options file as the launcher writes it: 19 lines in their fixed order
// and those added since, CR LF between them; after-launch action 5, an
// automatic game folder and the machine's Java (java) as "Java 17".
inline std::string LauncherOptions(const std::string& java, const std::string& version, const std::string& title,
                                   bool check_files) {
    const std::string lines[][2] = {
        {"RINKU_SUTAATO", version},   {"GameFolder", ""},       {"GameFolder_Auto", "True"},
        {"ip", ""},                   {"Musicplayer", "False"}, {"Java", java},
        {"JavaV", "Java 17"},         {"Memory", "600"},        {"Isolation", "False"},
        {"Launcher_Waiting", "5"},    {"GameWindow", "1"},      {"GameWindow_Width", "854"},
        {"GameWindow_Height", "480"}, {"GameWindow_Title", title}, {"GameWindow_Watermark", ""},
        {"Advanced", "0"},            {"AntiCheat", ""},        {"Launcher_Version", "22w02a"},
        {"Launcher_Name", "kestrel"}, {"DownloadSource", "official"},
        {"CheckFilesBeforeLaunch", check_files ? "True" : "False"},
    };
    std::string text;
    for (const auto& line : lines) {
        if (!text.empty()) text += "\r\n";
        text += line[0] + "=\"" + line[1] + "\"";
    }
    return text;
}

// The account file of an offline player "Steve", signed in at start.
inline constexpr char kOfflineSteveAccount[] =
    "NAME:\"Steve\"\r\nUUID:\"\"\r\nTOKEN:\"\"\r\nREFRESH_TOKEN:\"\"\r\nACCOUNTTYPE:\"OFFLINE\"";

// A connection to the display that the tests click on, X errors ignored (a
// window may go away between a lookup and a read); null when it cannot be
// opened or has no XTest.
inline Display* OpenClickableDisplay(const std::string& name) {
    Display* display = XOpenDisplay(name.c_str());
    if (!display) return nullptr;
    IgnoreXErrors();
    int event_base = 0, error_base = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event_base, &error_base, &major, &minor)) {
        XCloseDisplay(display);
        return nullptr;
    }
    return display;
}

// The window's picture as the screen shows it.
inline QImage WindowPicture(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return {};
    XImage* image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image) return {};
    QImage picture(attributes.width, attributes.height, QImage::Format_RGB32);
    for (int y = 0; y < attributes.height; ++y) {
        for (int x = 0; x < attributes.width; ++x) {
            picture.setPixel(x, y, 0xff000000u | static_cast<QRgb>(XGetPixel(image, x, y) & 0xffffff));
        }
    }
    XDestroyImage(image);
    return picture;
}

// A left click at (x, y) of the window's client area, through XTest: the X
// server sends it as if the pointer had moved there and pressed.
inline void Click(Display* display, Window window, int x, int y) {
    int root_x = 0, root_y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &root_x, &root_y, &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), root_x, root_y, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
}

}  // namespace kestrel::testing
