#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include <glm/vec3.hpp>

// Plays the game from outside the way a person does: real pointer motion,
// button and key events through the X server (xdotool's XTEST path, which
// SDL cannot tell from a real device), and screenshots of the screen
// (ImageMagick's import). Every command goes to one X display, $DISPLAY
// unless another is given.
class XDriver {
public:
    explicit XDriver(const std::string& display = "");

    // Waits until a window of that name is mapped; false when none appears
    // within the deadline. The window gets the keyboard focus.
    bool findWindow(const std::string& name = "Morvelund 2", int timeoutMs = 60000);
    int windowWidth() const { return width; }
    // Where the window's inside stands on the screen.
    int windowLeft() const { return left; }
    int windowTop() const { return top; }
    int windowHeight() const { return height; }

    // Window pixels, y down (as SDL reports them).
    void moveTo(int x, int y);
    // HUD pixels, y up from the window's bottom edge.
    void moveToHud(int x, int y) { moveTo(x, height - y); }
    // Buttons as X numbers them: 1 left, 2 middle, 3 right.
    void press(int button);
    void release(int button);
    void click(int button);
    // 'count' clicks 'gapMs' apart, so that each lands in a frame of its own.
    void clickRepeatedly(int button, int count, int gapMs);
    // Key names as X knows them: "i", "Escape", "space", "1".
    void keyDown(const std::string& key);
    void keyUp(const std::string& key);
    void tap(const std::string& key);

    // Saves the window's picture as a PNG; false when import failed.
    bool screenshot(const std::string& pngPath) const;

private:
    // Runs one xdotool command line on the display; its standard output.
    std::string xdotool(const std::string& arguments, int* status = nullptr) const;
    std::string displayPrefix() const;

    std::string display;
    std::string windowId;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A decoded screenshot (stb_image), RGB, row 0 at the top.
class Picture {
public:
    // Empty (width 0) when the file cannot be decoded.
    explicit Picture(const std::string& path);

    int width() const { return w; }
    int height() const { return h; }
    bool empty() const { return w == 0; }
    // RGB of one pixel in window pixels, y down.
    glm::ivec3 pixel(int x, int y) const;
    // Mean RGB over a rectangle of window pixels, y down.
    glm::vec3 mean(int x, int y, int rectWidth, int rectHeight) const;

private:
    int w = 0;
    int h = 0;
    std::vector<unsigned char> rgb;
};

// A screen rectangle in pixels, y down.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// A private X server (Xvfb) of a chosen screen size for the length of a
// test, for runs at a window size other than the shared display's. With
// 'desktop' set it is a desktop as players have one: a window manager
// (openbox) frames the windows and a panel (tint2) keeps a strip at the
// bottom of the screen.
class PrivateXServer {
public:
    PrivateXServer(int width, int height, bool desktop = false);
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // ":N" once the server accepts connections (and the desktop has taken
    // its room); empty when it did not start.
    const std::string& display() const { return name; }
    // What the window manager leaves to windows (_NET_WORKAREA); empty
    // without one.
    ScreenRect workArea() const;

private:
    void start(int number, int width, int height);
    void startDesktop(int height);
    void stop();

    pid_t server = -1;
    pid_t windowManager = -1;
    pid_t panel = -1;
    std::string name;
};
