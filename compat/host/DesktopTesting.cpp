// Test hooks that act on the X desktop as a person would: a real pointer click and real key presses
// through the XTest extension, and a picture of the whole screen. Each call opens its own connection,
// so any thread may use them while another drives GTK.
#include "compat/host/dialog/GtkPresenter.h"
#include "compat/host/dialog/NativePresenter.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <mutex>
#include <set>

namespace compat::testing {

namespace {

// Windows of other programs come and go while a hook walks the window tree: a request about one that
// has just gone fails. Such failures on the hooks' own connections are ignored (the call then finds
// nothing there); every other connection's go to the handler that was there before (SDL's, GTK's or
// the library's, which ends the program).
std::mutex& hookMutex = *new std::mutex;
std::set<Display*>& hookDisplays = *new std::set<Display*>;
XErrorHandler earlierHandler = nullptr;

int tolerateHookErrors(Display* display, XErrorEvent* error)
{
    XErrorHandler earlier = nullptr;
    {
        std::lock_guard<std::mutex> lock(hookMutex);
        if (hookDisplays.count(display) != 0)
            return 0;
        earlier = earlierHandler;
    }
    return earlier != nullptr ? earlier(display, error) : 0;
}

class Connection {
public:
    Connection() : display(XOpenDisplay(nullptr))
    {
        if (display == nullptr)
            return;
        std::lock_guard<std::mutex> lock(hookMutex);
        hookDisplays.insert(display);
        // Put back in front each time: a toolkit started since may have put its own there.
        const XErrorHandler current = XSetErrorHandler(tolerateHookErrors);
        if (current != tolerateHookErrors)
            earlierHandler = current;
    }
    ~Connection()
    {
        if (display == nullptr)
            return;
        XSync(display, False); // the errors of this connection's requests arrive while it is ours
        XCloseDisplay(display);
        std::lock_guard<std::mutex> lock(hookMutex);
        hookDisplays.erase(display);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Display* const display;
};

bool hasXTest(Display* display)
{
    int event = 0, error = 0, major = 0, minor = 0;
    return XTestQueryExtension(display, &event, &error, &major, &minor) != False;
}

bool clickButtonAt(int x, int y, unsigned button)
{
    Connection c;
    if (c.display == nullptr || !hasXTest(c.display))
        return false;
    XTestFakeMotionEvent(c.display, DefaultScreen(c.display), x, y, CurrentTime);
    XSync(c.display, False);
    XTestFakeButtonEvent(c.display, button, True, 20);
    XTestFakeButtonEvent(c.display, button, False, 60);
    XSync(c.display, False);
    return true;
}

// Depth first through the window tree for a window whose name is the title.
Window findTitled(Display* display, Window window, const std::string& title, int depth)
{
    // The name's bytes as they are: a title of ASCII reads the same in every encoding a window may give
    // it (SDL's own message box names itself in UTF-8, which XFetchName does not read).
    XTextProperty name{};
    if (XGetWMName(display, window, &name) != 0 && name.value != nullptr) {
        const bool same = name.format == 8 && title == std::string(reinterpret_cast<const char*>(name.value), name.nitems);
        XFree(name.value);
        if (same)
            return window;
    }
    if (depth > 8)
        return 0;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) == 0)
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i)
        found = findTitled(display, children[i], title, depth + 1);
    if (children != nullptr)
        XFree(children);
    return found;
}

// Presses and releases a key, with Shift held around it when asked.
void tapKey(Display* display, KeyCode code, KeyCode shiftCode, bool shift)
{
    if (shift)
        XTestFakeKeyEvent(display, shiftCode, True, CurrentTime);
    XTestFakeKeyEvent(display, code, True, 20);
    XTestFakeKeyEvent(display, code, False, 20);
    if (shift)
        XTestFakeKeyEvent(display, shiftCode, False, 20);
    XSync(display, False);
}

void sendClose(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}

} // namespace

bool clickDesktopAt(int x, int y)
{
    return clickButtonAt(x, y, 1);
}

bool rightClickDesktopAt(int x, int y)
{
    return clickButtonAt(x, y, 3);
}

bool moveDesktopPointer(int x, int y)
{
    Connection c;
    if (c.display == nullptr || !hasXTest(c.display))
        return false;
    XTestFakeMotionEvent(c.display, DefaultScreen(c.display), x, y, CurrentTime);
    XSync(c.display, False);
    return true;
}

bool pressDesktopButton(unsigned button, bool down)
{
    Connection c;
    if (c.display == nullptr || !hasXTest(c.display))
        return false;
    XTestFakeButtonEvent(c.display, button, down ? True : False, CurrentTime);
    XSync(c.display, False);
    return true;
}

bool typeDesktopText(const std::string& text)
{
    Connection c;
    if (c.display == nullptr || !hasXTest(c.display))
        return false;
    const KeyCode shiftCode = XKeysymToKeycode(c.display, XK_Shift_L);
    for (const char ch : text) {
        // Printable ASCII characters are their own keysyms.
        const auto symbol = static_cast<KeySym>(static_cast<unsigned char>(ch));
        const KeyCode code = XKeysymToKeycode(c.display, symbol);
        if (code == 0 || shiftCode == 0)
            return false;
        tapKey(c.display, code, shiftCode, XkbKeycodeToKeysym(c.display, code, 0, 0) != symbol);
    }
    return true;
}

bool closeDesktopWindowTitled(const std::string& title)
{
    Connection c;
    if (c.display == nullptr)
        return false;
    const Window window = findTitled(c.display, DefaultRootWindow(c.display), title, 0);
    if (window == 0)
        return false;
    sendClose(c.display, window);
    return true;
}

bool pressDesktopChord(const char* modifierName, const char* keysymName)
{
    Connection c;
    if (c.display == nullptr || modifierName == nullptr || keysymName == nullptr || !hasXTest(c.display))
        return false;
    const KeySym modifier = XStringToKeysym(modifierName), key = XStringToKeysym(keysymName);
    const KeyCode modifierCode = modifier != NoSymbol ? XKeysymToKeycode(c.display, modifier) : 0;
    const KeyCode code = key != NoSymbol ? XKeysymToKeycode(c.display, key) : 0;
    if (modifierCode == 0 || code == 0)
        return false;
    XTestFakeKeyEvent(c.display, modifierCode, True, CurrentTime);
    XTestFakeKeyEvent(c.display, code, True, 20);
    XTestFakeKeyEvent(c.display, code, False, 20);
    XTestFakeKeyEvent(c.display, modifierCode, False, 20);
    XSync(c.display, False);
    return true;
}

bool desktopWindowTitled(const std::string& title, int& x, int& y, int& width, int& height)
{
    Connection c;
    if (c.display == nullptr)
        return false;
    const Window root = DefaultRootWindow(c.display);
    const Window window = findTitled(c.display, root, title, 0);
    XWindowAttributes attributes{};
    if (window == 0 || XGetWindowAttributes(c.display, window, &attributes) == 0 ||
        attributes.map_state != IsViewable)
        return false;
    Window child = 0;
    if (XTranslateCoordinates(c.display, window, root, 0, 0, &x, &y, &child) == 0)
        return false;
    width = attributes.width;
    height = attributes.height;
    return true;
}

bool pressDesktopKey(const char* keysymName, bool shift)
{
    Connection c;
    if (c.display == nullptr || keysymName == nullptr || !hasXTest(c.display))
        return false;
    const KeySym symbol = XStringToKeysym(keysymName);
    const KeyCode code = symbol != NoSymbol ? XKeysymToKeycode(c.display, symbol) : 0;
    const KeyCode shiftCode = XKeysymToKeycode(c.display, XK_Shift_L);
    if (code == 0 || (shift && shiftCode == 0))
        return false;
    tapKey(c.display, code, shiftCode, shift);
    return true;
}

bool focusDesktopWindow(std::uintptr_t handle)
{
    const unsigned long id = compat::host::desktopWindowId(handle);
    Connection c;
    if (c.display == nullptr || id == 0)
        return false;
    XSetInputFocus(c.display, id, RevertToParent, CurrentTime);
    XSync(c.display, False);
    return true;
}

bool closeDesktopWindow(std::uintptr_t handle)
{
    const unsigned long id = compat::host::desktopWindowId(handle);
    Connection c;
    if (c.display == nullptr || id == 0)
        return false;
    sendClose(c.display, id);
    return true;
}

bool captureDesktop(int& width, int& height, std::vector<std::uint32_t>& pixels)
{
    Connection c;
    if (c.display == nullptr)
        return false;
    const Window root = DefaultRootWindow(c.display);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(c.display, root, &attributes) == 0)
        return false;
    XImage* image = XGetImage(c.display, root, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr)
        return false;
    width = attributes.width;
    height = attributes.height;
    pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    auto channel = [](unsigned long pixel, unsigned long mask) -> std::uint32_t {
        if (mask == 0)
            return 0;
        int shift = 0;
        while (((mask >> shift) & 1) == 0)
            ++shift;
        const unsigned long top = mask >> shift;
        return static_cast<std::uint32_t>(((pixel & mask) >> shift) * 255 / top);
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            pixels[static_cast<std::size_t>(y) * width + x] = channel(p, image->red_mask) << 16 |
                                                               channel(p, image->green_mask) << 8 |
                                                               channel(p, image->blue_mask);
        }
    XDestroyImage(image);
    return true;
}

} // namespace compat::testing
