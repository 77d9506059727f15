// Process entry: builds or verifies the data package, opens the window with
// its GL context, runs the game and tears everything down in order.

#include <GL/glew.h>
#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "core/AssetList.h"
#include "core/DesktopWindow.h"
#include "core/FileReader.h"
#include "core/Log.h"
#include "core/PackageManager.h"
#include "core/Util.h"
#include "game/OrvoGame.h"

namespace {

const char* const PACKAGE_PATH = "data.mv2";

SDL_Window* gWindow = nullptr;
SDL_GLContext gContext = nullptr;

bool isSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

// " (X display :0<what>)", for the errors of a display that could not be
// opened or could not make the window.
std::string xDisplayNote(const char* what)
{
    if (!isSet("DISPLAY")) {
        // A Wayland session without XWayland offers no X display at all.
        if (isSet("WAYLAND_DISPLAY"))
            return " (DISPLAY is not set: on a Wayland desktop the game needs XWayland)";
        return " (DISPLAY is not set)";
    }
    return std::string(" (X display ") + std::getenv("DISPLAY") + what + ")";
}

// Once the window manager has framed the window, a framed window taller or
// wider than the desktop's work area steps down to the largest size that
// fits, centred in the work area, before the GL context is made for it.
void fitFramedWindow(const SDL_Rect& workArea)
{
    WindowFrame frame;
    if (!wait_for_window_frame(gWindow, &frame) || !step_down_to_fit(workArea, frame))
        return;
    const SDL_Point at = centred_in_work_area(workArea, frame);
    SDL_SetWindowSize(gWindow, SCREEN_WIDTH, SCREEN_HEIGHT);
    SDL_SetWindowPosition(gWindow, at.x, at.y);
    log_info("Window stepped down to %dx%d to fit the work area %dx%d at %d,%d with its frame "
             "(left %d, right %d, top %d, bottom %d)",
             SCREEN_WIDTH, SCREEN_HEIGHT, workArea.w, workArea.h, workArea.x, workArea.y, frame.left, frame.right,
             frame.top, frame.bottom);
}

bool init()
{
    const std::string ignoredDriver = request_x11_video_driver();
    if (!ignoredDriver.empty())
        log_warning("SDL_VIDEODRIVER=%s is ignored: the game draws through GLX, which only SDL's x11 driver gives",
                    ignoredDriver.c_str());
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        log_error("SDL could not initialize! SDL Error: %s%s", SDL_GetError(),
                  xDisplayNote(" could not be opened").c_str());
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);

    const int displays = SDL_GetNumVideoDisplays();
    log_info("Found %d %s", displays, displays == 1 ? "display" : "displays, using the first one");

    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(0, &mode) != 0) {
        log_error("Failed to get display mode");
        return false;
    }
    // Panels left out; on a bare X server the work area is the whole display.
    const SDL_Rect workArea = desktop_work_area(mode);
    set_window_dimension(workArea.w, workArea.h);
    log_info("Creating %dx%d window @ %d Hz", SCREEN_WIDTH, SCREEN_HEIGHT, mode.refresh_rate);

    // Centred on the first display; never full screen, never resizable.
    const int x = (mode.w - SCREEN_WIDTH) / 2;
    const int y = (mode.h - SCREEN_HEIGHT) / 2;
    gWindow = SDL_CreateWindow("Morvelund 2", x, y, SCREEN_WIDTH, SCREEN_HEIGHT,
                               SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (gWindow == nullptr) {
        log_error("Window could not be created! SDL Error: %s%s", SDL_GetError(), xDisplayNote("").c_str());
        return false;
    }
    fitFramedWindow(workArea);
    gContext = SDL_GL_CreateContext(gWindow);
    if (gContext == nullptr) {
        log_error("OpenGL context could not be created! SDL Error: %s", SDL_GetError());
        return false;
    }
    glewExperimental = GL_TRUE;
    const GLenum glewError = glewInit();
    if (glewError != GLEW_OK) {
        log_error("Error initializing GLEW! %s", glewGetErrorString(glewError));
        return false;
    }
    if (SDL_GL_SetSwapInterval(1) < 0)
        log_warning("Warning: Unable to set VSync! SDL Error: %s", SDL_GetError());
    return true;
}

// Makes sure data.mv2 exists and is intact, building it when asked to or
// when it is missing. A damaged package is never rebuilt behind the user's
// back: they rebuild it with -d.
bool preparePackage(const std::vector<std::string>& assets, bool packageMode)
{
    PackageManager* packages = PackageManager::getInstance();
    if (packageMode || !FileReader::file_exists(PACKAGE_PATH)) {
        if (!packages->createPackage(assets, PACKAGE_PATH, true)) {
            log_error("Failed to create package");
            return false;
        }
        return true;
    }
    log_info("Data file exists");
    unsigned stored = 0;
    unsigned computed = 0;
    if (!packages->getChecksum(PACKAGE_PATH, &stored) || !packages->calculateChecksum(PACKAGE_PATH, &computed)) {
        log_error("Failed to read checksum");
        return false;
    }
    if (stored != computed) {
        log_error("data.mv2 is corrupted");
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    log_info("Starting application");
    const bool packageMode = argc == 2 && std::strcmp(argv[1], "-d") == 0;
    const std::vector<std::string> assets = getAssetList();

    if (!preparePackage(assets, packageMode))
        return 1;
    if (packageMode)
        return 0;

    std::srand(static_cast<unsigned>(std::time(nullptr)));
    log_info("RAND_MAX = %d", RAND_MAX);

    // Before SDL starts, which otherwise turns these signals into a quit
    // event that the game does not handle.
    install_termination_handler();
    if (!init()) {
        log_error("Failed to initialize!");
        return 1;
    }
    OrvoGame* game = new OrvoGame("loadfrompath?");
    if (!game->setup()) {
        log_error("Failed to create game!");
        return 1;
    }
    SDL_StartTextInput();
    game->gameLoop(gWindow);
    log_info("Gameloop stopped");

    delete game;
    SDL_StopTextInput();
    SDL_GL_DeleteContext(gContext);
    SDL_DestroyWindow(gWindow);
    SDL_Quit();
    log_info("Exiting application");
    return 0;
}
