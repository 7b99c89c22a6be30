// A small X client for the end-to-end scripts, for the two things xdotool cannot do:
//
//   zelmak-e2e-x11 watch        prints one line per top-level window that is mapped ("map ID
//                               NAME"), unmapped ("unmap ID") or destroyed ("destroy ID"), in
//                               the server's order, after a first line "ready"; runs until killed.
//                               A window that is up only for a moment (the intro) is still seen
//                               with its name: the watcher takes each request to map a top-level
//                               window, reads the name while the window waits for it, and then
//                               maps it, and passes every request to move or resize unchanged.
//                               It adds no frame and no focus rule of a window manager.
//   zelmak-e2e-x11 close ID     asks a window to close, as a window manager's close button does
//                               (a WM_DELETE_WINDOW message), and returns at once.
//
// Window ids are printed and read in decimal, as xdotool prints them.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

// A window can vanish between its event and our question about it; that is no failure here.
int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}

std::string property(Display* display, Window window, Atom name) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, window, name, 0, 1024, False, AnyPropertyType, &type, &format,
                           &count, &after, &data) == Success &&
        data) {
        if (format == 8)
            text.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
    }
    return text;
}

std::string windowName(Display* display, Window window) {
    std::string name = property(display, window, XInternAtom(display, "_NET_WM_NAME", False));
    if (name.empty())
        name = property(display, window, XA_WM_NAME);
    return name;
}

bool g_redirectRefused = false;

int noteRefusal(Display*, XErrorEvent* error) {
    if (error->error_code == BadAccess)
        g_redirectRefused = true;
    return 0;
}

// Passes a request to move, resize or restack a window on exactly as the client made it.
void passOn(Display* display, const XConfigureRequestEvent& request) {
    XWindowChanges changes{};
    changes.x = request.x;
    changes.y = request.y;
    changes.width = request.width;
    changes.height = request.height;
    changes.border_width = request.border_width;
    changes.sibling = request.above;
    changes.stack_mode = request.detail;
    XConfigureWindow(display, request.window, static_cast<unsigned>(request.value_mask), &changes);
}

int watch(Display* display) {
    const Window root = DefaultRootWindow(display);
    XSetErrorHandler(noteRefusal);
    XSelectInput(display, root, SubstructureNotifyMask | SubstructureRedirectMask);
    XSync(display, False);
    XSetErrorHandler(ignoreErrors);
    if (g_redirectRefused) {
        std::fprintf(stderr, "another client manages the windows of this display\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    std::map<Window, std::string> names; // as read when the window asked to be mapped
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
        case MapRequest:
            names[event.xmaprequest.window] = windowName(display, event.xmaprequest.window);
            XMapWindow(display, event.xmaprequest.window);
            break;
        case ConfigureRequest:
            passOn(display, event.xconfigurerequest);
            break;
        case CirculateRequest:
            if (event.xcirculaterequest.place == PlaceOnTop)
                XRaiseWindow(display, event.xcirculaterequest.window);
            else
                XLowerWindow(display, event.xcirculaterequest.window);
            break;
        case MapNotify:
            if (event.xmap.event == root) {
                const auto named = names.find(event.xmap.window);
                const std::string name =
                    named != names.end() ? named->second : windowName(display, event.xmap.window);
                std::printf("map %lu %s\n", event.xmap.window, name.c_str());
            }
            break;
        case UnmapNotify:
            if (event.xunmap.event == root)
                std::printf("unmap %lu\n", event.xunmap.window);
            break;
        case DestroyNotify:
            if (event.xdestroywindow.event == root) {
                names.erase(event.xdestroywindow.window);
                std::printf("destroy %lu\n", event.xdestroywindow.window);
            }
            break;
        default:
            break;
        }
        std::fflush(stdout);
    }
}

int close(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    if (!XSendEvent(display, window, False, NoEventMask, &event))
        return 1;
    XSync(display, False);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command != "watch" && !(command == "close" && argc == 3)) {
        std::fprintf(stderr, "usage: %s watch | close WINDOW-ID\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
        return 1;
    }
    if (command == "watch")
        return watch(display);
    XSetErrorHandler(ignoreErrors);
    const int status = close(display, static_cast<Window>(std::strtoul(argv[2], nullptr, 0)));
    XCloseDisplay(display);
    return status;
}
