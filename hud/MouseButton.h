#pragma once

// Which mouse button a click came with. The frame loop passes
// MOUSE_BUTTON_OTHER for every button that is not the left one.
enum mouse_button {
    MOUSE_BUTTON_LEFT = 0,
    MOUSE_BUTTON_OTHER = 1,
};
