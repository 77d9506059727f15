#pragma once

// Small free functions shared across the game: the log timestamp, the window
// size, the experience tables and the projection between world and window.

#include <glm/glm.hpp>

#include <string>

// The window size in pixels, chosen once at start-up by set_window_dimension.
extern int SCREEN_WIDTH;
extern int SCREEN_HEIGHT;

// Picks 1920x1080, 1280x720 or 1024x576: the largest that fits the display.
void set_window_dimension(int displayWidth, int displayHeight);

// Makes SDL use its X11 video driver, whatever SDL_VIDEODRIVER says. GLEW
// loads GL through GLX, which only X11 windows give (XWayland's on a Wayland
// desktop): a Wayland window's context is EGL's, which GLEW cannot load.
// Left to choose, SDL also quietly falls back to an offscreen driver when the
// X display cannot be reached, and the lost display would show up only as a
// puzzling glewInit failure. Call before SDL_Init. Returns the driver
// SDL_VIDEODRIVER named that is now ignored, or "" when it named none or X11.
std::string request_x11_video_driver();
// The X display the X11 driver opens: DISPLAY's value, or "(unset)".
std::string x_display_name();

// Time since start as "MMM:SS:mmm". Points into one static buffer that the
// next call overwrites.
const char* get_timestamp_string();
// The same for a given tick count in milliseconds.
const char* get_timestamp_string_at(unsigned ticks);

// The tick count (milliseconds since start) that game timers read: the
// wander, pause and respawn times of units are absolute values of it. It is
// SDL_GetTicks() unless a test has set the clock with set_test_ticks.
unsigned get_ticks();
// Test seam: makes get_ticks() answer 'ticks' until clear_test_ticks().
void set_test_ticks(unsigned ticks);
void clear_test_ticks();

// SIGINT and SIGTERM ask the game to end as if EXIT were chosen, so that it
// shuts down in order (and openal-soft finishes what it writes).
void install_termination_handler();
bool termination_requested();

// Total experience above which each level (1 to 15) begins.
extern const int exp_table[15];
constexpr int MAX_PLAYER_LEVEL = 15;

// exp_table[level - 1]; level must be 1 to 15.
int getExpNeededForLevel(int level);
// The level (1 to 15) of a total experience.
int getLevelAtExp(int exp);
// Experience for one kill, 1 to 2500; weaker enemies give only 100 per level.
int getKillExp(int playerLevel, int enemyLevel);

// Window pixel (x from the left, y from the top) of a world point.
glm::vec2 world_to_screen(const glm::vec3& world, const glm::mat4& projection, const glm::mat4& view);
// Ground point (z = 0) seen at the window pixel mirrored through the window's
// centre; callers pass (SCREEN_WIDTH - x, SCREEN_HEIGHT - y) of the mouse.
glm::vec3 screen_to_world(const glm::vec2& screen, const glm::mat4& projection, const glm::mat4& view);

// A random direction of length 1, for wandering units.
glm::vec3 get_random_normalized_vector();
