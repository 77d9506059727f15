#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include "support/GameProcess.h"
#include "support/TempDir.h"
#include "support/TestSounds.h"
#include "support/XDriver.h"

// One game played from outside: a working directory of its own holding a
// copy of the build's assets (optionally with the levels of a fixture set
// and with marked sounds), the real game binary started in it on an X
// display, and the pointer and keyboard driven through XDriver.
//
// Sounds: with 'tones' set, every sound file is replaced by silence except
// the listed ones, which become pure tones of the given frequencies, and
// openal-soft's wave backend records what the game played; the recording is
// complete once the game has ended (EXIT or SIGTERM).
struct SessionOptions {
    // Folder under tests/fixtures/e2e whose levels/*.xml and *.map replace
    // the game's; empty keeps the real levels.
    std::string fixture;
    // Sound package path -> frequency in Hz.
    std::map<std::string, float> tones;
    // X display to play on; empty starts a private 1920 x 1080 one, so that
    // games played side by side never take each other's clicks.
    std::string display;
};

class GameSession {
public:
    explicit GameSession(const SessionOptions& options = {});
    ~GameSession();
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    // Starts the game and waits for its start menu window; false (with the
    // reason in failure()) when either did not come.
    bool start();
    const std::string& failure() const { return why; }

    GameProcess& game() { return *process; }
    XDriver& x() { return driver; }
    const TempDir& dir() const { return work; }

    // Lets 'lines' position lines (52 frames each) pass; the last position.
    glm::vec2 waitFrames(int lines = 2);
    // How long a frame takes now, from the game's clock on the next two
    // position lines (52 frames apart); the frame rate falls a lot when
    // several games share the machine.
    int frameMs();
    // Hovers a menu entry long enough for the menu to notice, then clicks it.
    void clickPlay() { clickMenuEntry(playPoint()); }
    void clickExit() { clickMenuEntry(exitPoint()); }
    // PLAY, then waits until the drop-in is over; the position at landing.
    glm::vec2 enterPlay();

    // Window pixel (y down) under which the ground point 'world' appears
    // while the camera follows a player standing at 'player' (fully zoomed
    // to its start distance).
    glm::ivec2 screenPointOf(glm::vec2 world, glm::vec2 player) const;
    // Window pixel 'pixels' away from the window centre (y up).
    glm::ivec2 fromCentre(int dx, int dy) const;
    glm::ivec2 playPoint() const;
    glm::ivec2 exitPoint() const;
    // Whether a screenshot shows the menu: white text where PLAY stands.
    bool showsMenu(const Picture& picture) const;

    // Grabs the window into <build>/screenshots/e2e/<name>.png; the path,
    // empty on failure.
    std::string screenshot(const std::string& name);

    // Sends SIGTERM and waits; the exit status.
    int terminate();
    // The wave recording (mono int16 samples), read after the game ended.
    std::vector<short> recording() const;
    int recordingRate() const { return RECORDING_RATE; }

    static constexpr int RECORDING_RATE = 22050;

private:
    void prepareWorkDir();
    void clickMenuEntry(glm::ivec2 point);
    glm::ivec2 menuEntryPoint(float fromTop) const;

    SessionOptions options;
    std::unique_ptr<PrivateXServer> screen;
    TempDir work;
    std::unique_ptr<GameProcess> process;
    XDriver driver;
    std::string why;
};

// Amplitude (int16 units) of a pure tone of 'frequency' in each 4096-sample
// block of 'samples', blocks half overlapping (a windowed single-bin
// transform).
std::vector<float> toneProfile(const std::vector<short>& samples, int rate, float frequency);
// The strongest of the profile.
float toneAmplitude(const std::vector<short>& samples, int rate, float frequency);
// Separate stretches of the profile above 'threshold': how often it sounded.
int toneBursts(const std::vector<short>& samples, int rate, float frequency, float threshold);

// The start marker of one of the game's own levels ("level1_1"), in world
// cells, read from its source map.
glm::vec2 levelStart(const std::string& level);
// Distance between two logged positions (which carry one decimal).
float distance(glm::vec2 a, glm::vec2 b);
// Reads 'lines' position lines; true when they all equal the first.
bool staysPut(GameProcess& game, int lines, glm::vec2* at = nullptr);
// Exit status and the two closing log lines in their order: "" when all is
// as a clean end should be, else what differs.
std::string cleanEnd(GameProcess& game, int status);
