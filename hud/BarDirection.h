#pragma once

// How a Bar's fill grows with its value.
enum bar_direction {
    BAR_DIRECTION_VERTICAL = 0,   // upward from the bottom edge, sloshing sideways
    BAR_DIRECTION_HORIZONTAL = 1, // rightward from the left edge
};
