#include "core/DesktopWindow.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "core/Util.h"

namespace {

// A window manager under load may take a moment to frame a new window; the
// start goes on without the frame after this long.
constexpr Uint32 FRAME_WAIT_MS = 2000;
constexpr Uint32 FRAME_POLL_MS = 5;

struct X11Window {
    Display* display = nullptr;
    Window window = 0;
    // _NET_FRAME_EXTENTS, asked of the server once rather than on every poll.
    Atom frameExtents = 0;
};

bool x11WindowOf(SDL_Window* window, X11Window* x11)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    x11->display = info.info.x11.display;
    x11->window = info.info.x11.window;
    x11->frameExtents = XInternAtom(x11->display, "_NET_FRAME_EXTENTS", False);
    return true;
}

// One property of an X window, of 32-bit items of 'type', read on
// construction; no items where the window has no such property.
class WindowProperty {
public:
    WindowProperty(const X11Window& x11, Window window, Atom property, Atom type, long maxItems)
    {
        Atom actualType = 0;
        int format = 0;
        unsigned long remaining = 0;
        if (XGetWindowProperty(x11.display, window, property, 0, maxItems, False, type, &actualType, &format, &count,
                               &remaining, &data) != Success) {
            data = nullptr;
            count = 0;
        }
        if (data == nullptr || actualType != type || format != 32)
            count = 0;
    }
    ~WindowProperty()
    {
        if (data != nullptr)
            XFree(data);
    }
    WindowProperty(const WindowProperty&) = delete;
    WindowProperty& operator=(const WindowProperty&) = delete;

    unsigned long size() const { return count; }
    // Xlib hands 32-bit items out as longs.
    unsigned long operator[](unsigned long i) const { return reinterpret_cast<const unsigned long*>(data)[i]; }

private:
    unsigned char* data = nullptr;
    unsigned long count = 0;
};

// Whether the running window manager says it reports frames: _NET_FRAME_EXTENTS
// among the root's _NET_SUPPORTED atoms. A bare X server has no such list.
bool windowManagerReportsFrames(const X11Window& x11)
{
    const Atom supportedAtom = XInternAtom(x11.display, "_NET_SUPPORTED", False);
    const WindowProperty supported(x11, DefaultRootWindow(x11.display), supportedAtom, XA_ATOM, 4096);
    for (unsigned long i = 0; i < supported.size(); ++i) {
        if (supported[i] == x11.frameExtents)
            return true;
    }
    return false;
}

// Whether the window manager has set this window's _NET_FRAME_EXTENTS yet
// (a frame of nothing at all counts: the window is framed by then).
bool frameReported(const X11Window& x11)
{
    return WindowProperty(x11, x11.window, x11.frameExtents, XA_CARDINAL, 4).size() == 4;
}

} // namespace

SDL_Rect desktop_work_area(const SDL_DisplayMode& mode)
{
    SDL_Rect area;
    if (SDL_GetDisplayUsableBounds(0, &area) != 0 || area.w <= 0 || area.h <= 0)
        area = SDL_Rect{0, 0, mode.w, mode.h};
    return area;
}

bool wait_for_window_frame(SDL_Window* window, WindowFrame* frame)
{
    X11Window x11;
    if (!x11WindowOf(window, &x11) || !windowManagerReportsFrames(x11))
        return false;
    const Uint32 start = SDL_GetTicks();
    while (!frameReported(x11)) {
        if (SDL_GetTicks() - start >= FRAME_WAIT_MS)
            return false;
        SDL_Delay(FRAME_POLL_MS);
    }
    // SDL reads the extents from the property's change notice.
    SDL_PumpEvents();
    return SDL_GetWindowBordersSize(window, &frame->top, &frame->left, &frame->bottom, &frame->right) == 0;
}

bool step_down_to_fit(const SDL_Rect& workArea, const WindowFrame& frame)
{
    const int width = SCREEN_WIDTH;
    set_window_dimension(workArea.w - frame.left - frame.right, workArea.h - frame.top - frame.bottom);
    return SCREEN_WIDTH < width;
}

SDL_Point centred_in_work_area(const SDL_Rect& workArea, const WindowFrame& frame)
{
    const int framedWidth = frame.left + SCREEN_WIDTH + frame.right;
    const int framedHeight = frame.top + SCREEN_HEIGHT + frame.bottom;
    return SDL_Point{workArea.x + (workArea.w - framedWidth) / 2 + frame.left,
                     workArea.y + (workArea.h - framedHeight) / 2 + frame.top};
}
