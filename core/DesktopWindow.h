#pragma once

// The room a desktop leaves the game's window. A window manager draws a
// title bar and borders around the window, and its panels keep strips of the
// screen for themselves; the window must fit what is left with its frame, or
// the HUD's bottom rows end up off-screen or under a panel. A bare X server
// has neither, and there the display mode alone decides.

#include <SDL.h>

// What a window manager draws around a window, in pixels.
struct WindowFrame {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

// The first display's work area: SDL's usable bounds (the desktop's
// _NET_WORKAREA, panels left out), or the whole display of 'mode' where none
// is reported.
SDL_Rect desktop_work_area(const SDL_DisplayMode& mode);

// Waits, a bounded time, for the frame the window manager reports for the
// shown 'window'. False at once where no window manager reports frames (a
// bare X server), and after the wait where this window's never came.
bool wait_for_window_frame(SDL_Window* window, WindowFrame* frame);

// Picks SCREEN_WIDTH x SCREEN_HEIGHT again for a window in 'frame' that must
// fit 'workArea'; true when that is smaller than the size it had.
bool step_down_to_fit(const SDL_Rect& workArea, const WindowFrame& frame);

// Where SDL must place a window of SCREEN_WIDTH x SCREEN_HEIGHT (its inside,
// the frame around it) to stand centred in 'workArea'.
SDL_Point centred_in_work_area(const SDL_Rect& workArea, const WindowFrame& frame);
