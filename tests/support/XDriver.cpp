#include "support/XDriver.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <random>
#include <sstream>

#include <stb_image.h>

#include "support/GameProcess.h"

namespace {

// Reads the number after "label" in xwininfo's output.
int labelledValue(const std::string& text, const std::string& label)
{
    const size_t at = text.find(label);
    return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + label.size());
}

} // namespace

XDriver::XDriver(const std::string& display) : display(display) {}

std::string XDriver::displayPrefix() const
{
    return display.empty() ? "" : "DISPLAY=" + display + " ";
}

std::string XDriver::xdotool(const std::string& arguments, int* status) const
{
    return runCommand(displayPrefix() + "xdotool " + arguments + " 2>/dev/null", status);
}

bool XDriver::findWindow(const std::string& name, int timeoutMs)
{
    // search --sync has no deadline of its own.
    const std::string seconds = std::to_string(timeoutMs / 1000 + 1);
    int status = 0;
    std::istringstream found(runCommand(displayPrefix() + "timeout " + seconds +
                                            " xdotool search --sync --onlyvisible --name '^" + name + "$' 2>/dev/null",
                                        &status));
    if (status != 0 || !(found >> windowId))
        return false;
    // xwininfo, not xdotool's getwindowgeometry: where a window manager has
    // framed the window, xdotool counts the frame's offset twice.
    const std::string geometry = runCommand(displayPrefix() + "xwininfo -id " + windowId + " 2>/dev/null");
    left = labelledValue(geometry, "Absolute upper-left X:");
    top = labelledValue(geometry, "Absolute upper-left Y:");
    width = labelledValue(geometry, "Width:");
    height = labelledValue(geometry, "Height:");
    // Most test displays have no window manager to give the focus.
    runCommand(displayPrefix() + "timeout 5 xdotool windowfocus --sync " + windowId + " 2>/dev/null");
    return width > 0 && height > 0;
}

void XDriver::moveTo(int x, int y)
{
    xdotool("mousemove --sync " + std::to_string(left + x) + " " + std::to_string(top + y));
}

void XDriver::press(int button)
{
    xdotool("mousedown " + std::to_string(button));
}

void XDriver::release(int button)
{
    xdotool("mouseup " + std::to_string(button));
}

void XDriver::click(int button)
{
    xdotool("click " + std::to_string(button));
}

void XDriver::clickRepeatedly(int button, int count, int gapMs)
{
    xdotool("click --repeat " + std::to_string(count) + " --delay " + std::to_string(gapMs) + " " +
            std::to_string(button));
}

void XDriver::keyDown(const std::string& key)
{
    xdotool("keydown " + key);
}

void XDriver::keyUp(const std::string& key)
{
    xdotool("keyup " + key);
}

void XDriver::tap(const std::string& key)
{
    xdotool("key " + key);
}

bool XDriver::screenshot(const std::string& pngPath) const
{
    std::ostringstream command;
    command << displayPrefix() << "import -window root -crop " << width << "x" << height << "+" << left << "+"
            << top << " +repage 'png:" << pngPath << "' 2>/dev/null";
    int status = 0;
    runCommand(command.str(), &status);
    return status == 0 && !Picture(pngPath).empty();
}

Picture::Picture(const std::string& path)
{
    int channels = 0;
    stbi_set_flip_vertically_on_load(0);
    unsigned char* pixels = stbi_load(path.c_str(), &w, &h, &channels, 3);
    if (pixels == nullptr) {
        w = h = 0;
        return;
    }
    rgb.assign(pixels, pixels + static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
    stbi_image_free(pixels);
}

glm::ivec3 Picture::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= w || y >= h)
        return glm::ivec3(-1);
    const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)) * 3;
    return glm::ivec3(rgb[at], rgb[at + 1], rgb[at + 2]);
}

glm::vec3 Picture::mean(int x, int y, int rectWidth, int rectHeight) const
{
    glm::vec3 sum(0.0f);
    int count = 0;
    for (int row = y; row < y + rectHeight; ++row) {
        for (int column = x; column < x + rectWidth; ++column) {
            const glm::ivec3 p = pixel(column, row);
            if (p.x < 0)
                continue;
            sum += glm::vec3(p);
            ++count;
        }
    }
    return count == 0 ? glm::vec3(-1.0f) : sum / static_cast<float>(count);
}

namespace {

// True when some X server (of this machine, whatever its process namespace
// and whether or not its lock file survived) listens on display 'number'.
bool displayTaken(int number)
{
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
    if (access(socket.c_str(), F_OK) == 0 || access(("/tmp/.X" + std::to_string(number) + "-lock").c_str(), F_OK) == 0)
        return true;
    std::ifstream sockets("/proc/net/unix");
    std::string line;
    while (std::getline(sockets, line)) {
        if (line.size() >= socket.size() + 1 && line.compare(line.size() - socket.size() - 1, socket.size() + 1,
                                                              "@" + socket) == 0)
            return true;
    }
    return false;
}

} // namespace

PrivateXServer::PrivateXServer(int width, int height, bool desktop)
{
    // A display number of its own, far above the ones servers pick for
    // themselves; a server that lost a race for it, or a display that turns
    // out to be someone else's, is given up for another number.
    std::mt19937 pick(static_cast<unsigned>(getpid()) ^ static_cast<unsigned>(std::time(nullptr)));
    std::uniform_int_distribution<int> numbers(300, 899);
    for (int attempt = 0; attempt < 5 && name.empty(); ++attempt) {
        const int number = numbers(pick);
        if (displayTaken(number))
            continue;
        start(number, width, height);
        if (name.empty())
            continue;
        std::ostringstream size;
        size << "dimensions:    " << width << "x" << height << " pixels";
        if (runCommand("xdpyinfo -display " + name + " 2>/dev/null").find(size.str()) == std::string::npos)
            stop();
    }
    if (desktop && !name.empty())
        startDesktop(height);
}

namespace {

// Starts a program on 'display', its output dropped; its process.
pid_t startOn(const std::string& display, const char* program)
{
    const pid_t child = fork();
    if (child == 0) {
        setenv("DISPLAY", display.c_str(), 1);
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execlp(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

void endProcess(pid_t* child)
{
    if (*child <= 0)
        return;
    kill(*child, SIGTERM);
    waitpid(*child, nullptr, 0);
    *child = -1;
}

} // namespace

void PrivateXServer::startDesktop(int height)
{
    windowManager = startOn(name, "openbox");
    panel = startOn(name, "tint2");
    // Ready once the window manager has left the panel's strip out of the
    // work area; a desktop that never gets there is no desktop to test on.
    for (int attempt = 0; attempt < 400; ++attempt) {
        const ScreenRect area = workArea();
        if (area.height > 0 && area.height < height)
            return;
        if (waitpid(windowManager, nullptr, WNOHANG) != 0 || waitpid(panel, nullptr, WNOHANG) != 0)
            break;
        usleep(50000);
    }
    stop();
}

ScreenRect PrivateXServer::workArea() const
{
    ScreenRect area;
    if (name.empty())
        return area;
    // "_NET_WORKAREA(CARDINAL) = 0, 0, 1920, 1050, ..." (one per desktop)
    const std::string line = runCommand("xprop -display " + name + " -root _NET_WORKAREA 2>/dev/null");
    const size_t values = line.find(" = ");
    if (values == std::string::npos ||
        std::sscanf(line.c_str() + values + 3, "%d, %d, %d, %d", &area.x, &area.y, &area.width, &area.height) != 4)
        return ScreenRect{};
    return area;
}

void PrivateXServer::start(int number, int width, int height)
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    server = fork();
    if (server == 0) {
        close(fds[0]);
        const std::string display = ":" + std::to_string(number);
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        const std::string fd = std::to_string(fds[1]);
        std::freopen("/dev/null", "w", stderr);
        // -noreset: the game and the short xdotool runs connect one after
        // another, and a server that resets as its last client leaves drops
        // whichever of them is still connecting.
        execlp("Xvfb", "Xvfb", display.c_str(), "-noreset", "-displayfd", fd.c_str(), "-screen", "0",
               screen.c_str(), "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // Xvfb writes its display number once it accepts connections.
    pollfd ready = {fds[0], POLLIN, 0};
    char written[16] = {};
    if (server > 0 && poll(&ready, 1, 20000) > 0 && read(fds[0], written, sizeof(written) - 1) > 0 &&
        std::atoi(written) == number)
        name = ":" + std::to_string(number);
    close(fds[0]);
    if (name.empty())
        stop();
}

void PrivateXServer::stop()
{
    name.clear();
    endProcess(&panel);
    endProcess(&windowManager);
    endProcess(&server);
}

PrivateXServer::~PrivateXServer()
{
    stop();
}
