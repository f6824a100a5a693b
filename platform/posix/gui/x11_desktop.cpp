// findwindow and sendkeys on X11: the window manager's client list
// (_NET_CLIENT_LIST) with the window titles, activation by _NET_ACTIVE_WINDOW,
// and key events through XTest. Wayland lets no client do either.
#include "x11_desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

namespace tallow::gui {

namespace {

// How long a search goes on for a window that has not appeared yet, and how
// often it looks.
constexpr int kFindWaitMs = 1000;
constexpr int kFindRetryMs = 50;
// How long findwindow waits for the window it activated to hold the
// keyboard, and how often it looks: the window manager obeys a moment later
// (longer on a busy machine), and keys sent before go to the window that
// had the keyboard.
constexpr int kFocusWaitMs = 3000;
constexpr int kFocusRetryMs = 5;

Display* X11Display() {
    GdkDisplay* display = gdk_display_get_default();
    return display && GDK_IS_X11_DISPLAY(display) ? GDK_DISPLAY_XDISPLAY(display) : nullptr;
}

// The windows of an X property of type WINDOW, empty when it is missing.
std::vector<Window> WindowList(Display* x, Window owner, const char* property) {
    std::vector<Window> windows;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x, owner, XInternAtom(x, property, False), 0, 1 << 16, False, XA_WINDOW, &type,
                           &format, &count, &after, &data) == Success &&
        data && format == 32) {
        auto* ids = reinterpret_cast<unsigned long*>(data);
        windows.assign(ids, ids + count);
    }
    if (data) XFree(data);
    return windows;
}

// The title: _NET_WM_NAME (UTF-8) where set, else WM_NAME.
std::string Title(Display* x, Window window) {
    std::string title;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x, window, XInternAtom(x, "_NET_WM_NAME", False), 0, 4096, False,
                           XInternAtom(x, "UTF8_STRING", False), &type, &format, &count, &after,
                           &data) == Success &&
        data && format == 8)
        title.assign(reinterpret_cast<char*>(data), count);
    if (data) XFree(data);
    if (!title.empty()) return title;
    char* name = nullptr;
    if (XFetchName(x, window, &name) && name) title = name;
    if (name) XFree(name);
    return title;
}

bool StartsWithFolded(const std::string& text, const std::string& start) {
    gchar* a = g_utf8_casefold(text.c_str(), -1);
    gchar* b = g_utf8_casefold(start.c_str(), -1);
    bool result = g_str_has_prefix(a, b);
    g_free(a);
    g_free(b);
    return result;
}

// Whether a window manager that follows the desktop conventions runs: it
// names its check window on the root window.
bool ManagerRuns(Display* x) {
    return !WindowList(x, DefaultRootWindow(x), "_NET_SUPPORTING_WM_CHECK").empty();
}

// Asks the window manager to activate window; without one, raises it and
// gives it the keyboard directly.
void Activate(Display* x, Window window) {
    Window root = DefaultRootWindow(x);
    if (!ManagerRuns(x)) {
        GdkDisplay* display = gdk_display_get_default();
        gdk_x11_display_error_trap_push(display);  // a window not yet viewable refuses the focus
        XMapRaised(x, window);
        XSetInputFocus(x, window, RevertToParent, CurrentTime);
        XSync(x, False);
        gdk_x11_display_error_trap_pop_ignored(display);
        return;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(x, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // from a pager-like tool: the manager obeys
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XMapRaised(x, window);
    XFlush(x);
}

struct KeyName {
    uint8_t virtualKey;
    KeySym symbol;
};

// Win32 virtual keys that are not letters or digits.
constexpr KeyName kKeys[] = {
    {0x08, XK_BackSpace},   {0x09, XK_Tab},        {0x0D, XK_Return},       {0x10, XK_Shift_L},
    {0x11, XK_Control_L},   {0x12, XK_Alt_L},      {0x13, XK_Pause},        {0x14, XK_Caps_Lock},
    {0x1B, XK_Escape},      {0x20, XK_space},      {0x21, XK_Prior},        {0x22, XK_Next},
    {0x23, XK_End},         {0x24, XK_Home},       {0x25, XK_Left},         {0x26, XK_Up},
    {0x27, XK_Right},       {0x28, XK_Down},       {0x2C, XK_Print},        {0x2D, XK_Insert},
    {0x2E, XK_Delete},      {0x5B, XK_Super_L},    {0x6A, XK_KP_Multiply},  {0x6B, XK_KP_Add},
    {0x6D, XK_KP_Subtract}, {0x6E, XK_KP_Decimal}, {0x6F, XK_KP_Divide},    {0x90, XK_Num_Lock},
    {0x91, XK_Scroll_Lock}, {0xBA, XK_semicolon},  {0xBB, XK_equal},        {0xBC, XK_comma},
    {0xBD, XK_minus},       {0xBE, XK_period},     {0xBF, XK_slash},        {0xC0, XK_grave},
    {0xDB, XK_bracketleft}, {0xDC, XK_backslash},  {0xDD, XK_bracketright}, {0xDE, XK_apostrophe},
};

KeySym SymbolOf(uint8_t virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') return XK_a + (virtualKey - 'A');
    if (virtualKey >= '0' && virtualKey <= '9') return XK_0 + (virtualKey - '0');
    if (virtualKey >= 0x60 && virtualKey <= 0x69) return XK_KP_0 + (virtualKey - 0x60);
    if (virtualKey >= 0x70 && virtualKey <= 0x87) return XK_F1 + (virtualKey - 0x70);
    for (const KeyName& key : kKeys)
        if (key.virtualKey == virtualKey) return key.symbol;
    return NoSymbol;
}

// Whether the keyboard focus is on window or a window inside it (the
// toolkit's own focus window, for one).
bool HoldsFocus(Display* x, Window window) {
    Window focus = None;
    int revert = 0;
    XGetInputFocus(x, &focus, &revert);
    Window root = DefaultRootWindow(x);
    GdkDisplay* display = gdk_display_get_default();
    gdk_x11_display_error_trap_push(display);  // a window may go while we climb
    bool inside = false;
    while (focus != None && focus != PointerRoot && focus != root && !inside) {
        inside = focus == window;
        Window parent = None, rootOut = None;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(x, focus, &rootOut, &parent, &children, &count)) break;
        if (children) XFree(children);
        focus = parent;
    }
    gdk_x11_display_error_trap_pop_ignored(display);
    return inside;
}

// Whether the window manager names window as the active one (or names
// none: a manager that keeps no such record).
bool ManagerCallsActive(Display* x, Window window) {
    std::vector<Window> active = WindowList(x, DefaultRootWindow(x), "_NET_ACTIVE_WINDOW");
    return active.empty() || active.front() == window;
}

// Waits until window holds the keyboard and the window manager has done
// the activation (it may move the focus while it does), at most
// kFocusWaitMs, dispatching the toolkit's events meanwhile: a window of this
// process takes the focus only when it answers the window manager. A window
// that never gets it is left as it is.
void WaitForFocus(Display* x, Window window) {
    gint64 deadline = g_get_monotonic_time() + kFocusWaitMs * 1000;
    for (;;) {
        XSync(x, False);
        if ((HoldsFocus(x, window) && ManagerCallsActive(x, window)) || g_get_monotonic_time() >= deadline)
            return;
        while (gtk_events_pending())
            gtk_main_iteration_do(FALSE);
        g_usleep(kFocusRetryMs * 1000);
    }
}

// One look through the windows of the screen; the window activated, None
// when no title matched.
Window RaiseOnce(Display* x, const char* titleStart) {
    Window root = DefaultRootWindow(x);
    std::vector<Window> windows = WindowList(x, root, "_NET_CLIENT_LIST");
    if (windows.empty()) {
        // No window manager keeps a list: the screen's top-level windows.
        Window parent = None, rootOut = None;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(x, root, &rootOut, &parent, &children, &count) && children) {
            windows.assign(children, children + count);
            XFree(children);
        }
    }
    for (Window window : windows) {
        std::string title = Title(x, window);
        if (title.empty() || !StartsWithFolded(title, titleStart)) continue;
        Activate(x, window);
        return window;
    }
    return None;
}

}  // namespace

// A window manager takes new windows into its list a moment after they
// appear, so a window the script has just shown is looked for a little
// longer (kFindWaitMs) before the search fails. Once activated, the window
// is waited for until it holds the keyboard, so that keys sent next reach
// it, as they do after the same call on Windows.
bool RaiseWindowByTitle(const char* titleStart) {
    Display* x = X11Display();
    if (!x || !titleStart) return false;
    gint64 deadline = g_get_monotonic_time() + kFindWaitMs * 1000;
    for (;;) {
        XSync(x, False);
        if (Window window = RaiseOnce(x, titleStart); window != None) {
            WaitForFocus(x, window);
            return true;
        }
        if (g_get_monotonic_time() >= deadline) return false;
        while (gtk_events_pending())
            gtk_main_iteration_do(FALSE);
        g_usleep(kFindRetryMs * 1000);
    }
}

bool SendVirtualKeys(const uint8_t* virtualKeys, const uint8_t* downs, size_t count) {
    Display* x = X11Display();
    int event = 0, error = 0, major = 0, minor = 0;
    if (!x || !XTestQueryExtension(x, &event, &error, &major, &minor)) return false;
    for (size_t i = 0; i < count; ++i) {
        KeySym symbol = SymbolOf(virtualKeys[i]);
        KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(x, symbol);
        if (code) XTestFakeKeyEvent(x, code, downs[i] ? True : False, CurrentTime);
    }
    // The server has handled the keys when the round trip returns: the
    // events for this process's windows are already queued then, so the
    // next dispatch of its events (a sleep's) types them, however busy the
    // machine. A flush would leave them to the server's own pace.
    XSync(x, False);
    return true;
}

}  // namespace tallow::gui
