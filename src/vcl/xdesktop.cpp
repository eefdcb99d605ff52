#include "vcl/xdesktop.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vcl::xdesktop {

namespace {

// A connection of our own, opened when first needed and kept: Wine's are
// its own. Used from the program's one thread of windows only.
Display* own = nullptr;
bool opened = false;
bool failed = false;  // an X error answered a request of ours
int (*previousHandler)(Display*, XErrorEvent*) = nullptr;

// Errors on our connection (a window gone meanwhile) are ours to note;
// Wine's stay Wine's. The default handler would end the program.
int OnXError(Display* display, XErrorEvent* error) {
    if (display == own) {
        failed = true;
        return 0;
    }
    return previousHandler ? previousHandler(display, error) : 0;
}

Display* Connection() {
    if (!opened) {
        opened = true;
        own = XOpenDisplay(nullptr);
        if (own) previousHandler = XSetErrorHandler(OnXError);
    }
    return own;
}

}  // namespace

TShown Shown(XWindowId window) {
    Display* display = Connection();
    if (!display || !window) return TShown::Unknown;
    failed = false;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || failed) return TShown::Unknown;
    return attributes.map_state == IsViewable ? TShown::Yes : TShown::No;
}

std::vector<XWindowId> Cover(const std::vector<TArea>& areas) {
    std::vector<XWindowId> covers;
    Display* display = Connection();
    if (!display) return covers;
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    XGCValues values;
    values.subwindow_mode = IncludeInferiors;  // the windows' own pictures, not the root's
    GC gc = XCreateGC(display, root, GCSubwindowMode, &values);
    for (const TArea& a : areas) {
        if (a.Width <= 0 || a.Height <= 0) continue;
        const auto w = static_cast<unsigned>(a.Width), h = static_cast<unsigned>(a.Height);
        const Pixmap picture = XCreatePixmap(display, root, w, h, static_cast<unsigned>(DefaultDepth(display, screen)));
        XCopyArea(display, root, picture, gc, a.X, a.Y, w, h, 0, 0);
        XSetWindowAttributes attributes;
        attributes.override_redirect = True;  // no window manager places or frames it
        attributes.background_pixmap = picture;
        const Window cover = XCreateWindow(display, root, a.X, a.Y, w, h, 0, CopyFromParent, InputOutput,
                                           CopyFromParent, CWOverrideRedirect | CWBackPixmap, &attributes);
        XFreePixmap(display, picture);  // the window keeps it
        XMapRaised(display, cover);
        covers.push_back(cover);
    }
    XFreeGC(display, gc);
    // Shown before anything under them changes.
    XSync(display, False);
    return covers;
}

void Uncover(const std::vector<XWindowId>& covers) {
    Display* display = Connection();
    if (!display || covers.empty()) return;
    for (XWindowId cover : covers) XDestroyWindow(display, cover);
    XSync(display, False);
}

}  // namespace vcl::xdesktop
