#include "e2e/GameSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/Util.h"
#include "game/Followable.h"
#include "render/Camera.h"
#include "tools/levelmaps/LevelMap.h"

namespace fs = std::filesystem;

namespace {

constexpr int SOUND_RATE = 11025;
constexpr double PI = 3.14159265358979323846;
// The menu compares against 1980 pixels, not the window's 1920.
constexpr float MENU_LAYOUT_WIDTH = 1980.0f;
// Its texts have their full size in a 1920-pixel-wide window.
constexpr float TEXT_LAYOUT_WIDTH = 1920.0f;
// Where a standing player's position lies above the floor (the camera looks
// at it, not at the floor).
constexpr float STANDING_Z = 2.0f;
constexpr int SETUP_TIMEOUT_MS = 240000;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void putLE(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// The canonical 44-byte-header WAV the game reads: mono, 16 bits, 11025 Hz.
std::string wavFile(const std::vector<short>& samples)
{
    const uint32_t dataSize = static_cast<uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    putLE(out, 36 + dataSize, 4);
    out += "WAVEfmt ";
    putLE(out, 16, 4);
    putLE(out, 1, 2);  // PCM
    putLE(out, 1, 2);  // mono
    putLE(out, SOUND_RATE, 4);
    putLE(out, SOUND_RATE * 2, 4);
    putLE(out, 2, 2);
    putLE(out, 16, 2);
    out += "data";
    putLE(out, dataSize, 4);
    for (short sample : samples)
        putLE(out, static_cast<uint16_t>(sample), 2);
    return out;
}

// Short enough to end before the next test step, long enough to be found
// in a block of the recording; faded in and out so it does not click.
std::vector<short> tone(float frequency)
{
    const int count = SOUND_RATE * 2 / 5;
    const int fade = SOUND_RATE / 50;
    std::vector<short> samples(count);
    for (int i = 0; i < count; ++i) {
        const double envelope = std::min(1.0, std::min(i, count - 1 - i) / static_cast<double>(fade));
        samples[i] = static_cast<short>(12000.0 * envelope * std::sin(2.0 * PI * frequency * i / SOUND_RATE));
    }
    return samples;
}

class StandingPlayer : public Followable {
public:
    explicit StandingPlayer(glm::vec2 at) : at(at) {}
    glm::vec3 getPosition() override { return glm::vec3(at, STANDING_Z); }

private:
    glm::vec2 at;
};

uint32_t readLE(const std::string& bytes, size_t at, int count)
{
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

} // namespace

GameSession::GameSession(const SessionOptions& options) : options(options)
{
    if (this->options.display.empty()) {
        screen = std::make_unique<PrivateXServer>(1920, 1080);
        this->options.display = screen->display();
    }
    driver = XDriver(this->options.display);
}

GameSession::~GameSession()
{
    // Ends the game before its working directory goes.
    process.reset();
}

void GameSession::prepareWorkDir()
{
    fs::copy(MORVELUND_DATA_DIR, work.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    // The game builds its own package from what lies here.
    fs::remove(work.file("data.mv2"));
    fs::remove(work.file("package.log"));

    if (!options.fixture.empty()) {
        const fs::path levels = fs::path(MORVELUND_FIXTURES_DIR) / "e2e" / options.fixture / "levels";
        for (const fs::directory_entry& entry : fs::directory_iterator(levels)) {
            const std::string name = entry.path().stem().string();
            if (entry.path().extension() == ".xml") {
                work.write("levels/" + name + ".xml", readFile(entry.path()));
                continue;
            }
            levelmap::LevelMap map;
            std::string error;
            if (!levelmap::parse(readFile(entry.path()), map, error)) {
                why = entry.path().string() + ": " + error;
                continue;
            }
            const std::vector<uint8_t> bmp = levelmap::encodeBmp(map);
            work.write("levels/" + name + ".bmp", std::string(bmp.begin(), bmp.end()));
        }
    }

    if (!options.tones.empty()) {
        for (const fs::directory_entry& entry : fs::directory_iterator(work.file("sounds"))) {
            const std::string path = "sounds/" + entry.path().filename().string();
            const auto marked = options.tones.find(path);
            work.write(path, wavFile(marked == options.tones.end() ? std::vector<short>(SOUND_RATE / 20, 0)
                                                                   : tone(marked->second)));
        }
        std::ostringstream conf;
        conf << "[general]\ndrivers = wave\nchannels = mono\nsample-type = int16\nfrequency = " << RECORDING_RATE
             << "\n\n[wave]\nfile = " << work.file("recording.wav") << "\n";
        work.write("alsoft.conf", conf.str());
    }
}

bool GameSession::start()
{
    if (options.display.empty()) {
        why = "no X server could be started for the game";
        return false;
    }
    prepareWorkDir();
    if (!why.empty())
        return false;
    GameProcess::Environment env;
    if (options.tones.empty()) {
        env.emplace_back("ALSOFT_DRIVERS", "null");
    } else {
        env.emplace_back("ALSOFT_CONF", work.file("alsoft.conf"));
        env.emplace_back("ALSOFT_DRIVERS", "wave");
    }
    env.emplace_back("DISPLAY", options.display);
    process = std::make_unique<GameProcess>(work.path(), std::vector<std::string>{}, env);
    if (!process->waitForLine("Setup successful, starting game loop..", SETUP_TIMEOUT_MS)) {
        why = "the game did not finish its setup:\n" + process->output();
        return false;
    }
    if (!driver.findWindow("Morvelund 2")) {
        why = "no window named \"Morvelund 2\" appeared";
        return false;
    }
    return true;
}

glm::vec2 GameSession::waitFrames(int lines)
{
    glm::vec2 position(-1.0f);
    for (int i = 0; i < lines; ++i) {
        if (!process->nextPosition(&position))
            break;
    }
    return position;
}

int GameSession::frameMs()
{
    constexpr int FRAMES_PER_POSITION_LINE = 52;
    waitFrames(1);
    const int first = process->lastPositionTime();
    waitFrames(1);
    return std::max(1, (process->lastPositionTime() - first) / FRAMES_PER_POSITION_LINE);
}

void GameSession::clickMenuEntry(glm::ivec2 point)
{
    driver.moveTo(point.x, point.y);
    // The menu takes a click only on an entry it saw the pointer over in an
    // earlier frame. Lines logged while the test looked at a screenshot come
    // from frames before the move, and so may the first one after it.
    process->skipLoggedPositions();
    waitFrames(2);
    driver.click(1);
}

glm::vec2 GameSession::enterPlay()
{
    clickPlay();
    // The drop-in takes one second of game time; no input is read meanwhile
    // (it waits in the queue), so the test only needs to see it end.
    const auto clicked = std::chrono::steady_clock::now();
    glm::vec2 position(-1.0f);
    process->waitForPosition(
        [&](glm::vec2) { return std::chrono::steady_clock::now() - clicked > std::chrono::milliseconds(1500); },
        &position);
    return position;
}

glm::ivec2 GameSession::screenPointOf(glm::vec2 world, glm::vec2 player) const
{
    const float w = static_cast<float>(driver.windowWidth());
    const float h = static_cast<float>(driver.windowHeight());
    StandingPlayer followed(player);
    Camera camera(glm::vec3(0.0f, 0.0f, 10.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f), w, h);
    camera.setFollowable(&followed);
    // The first update settles the zoom, the second places the eye with it.
    camera.update(1.0f / 10.0f);
    camera.update(1.0f / 10.0f);
    const int savedWidth = SCREEN_WIDTH;
    const int savedHeight = SCREEN_HEIGHT;
    SCREEN_WIDTH = driver.windowWidth();
    SCREEN_HEIGHT = driver.windowHeight();
    const glm::vec2 pixel =
        world_to_screen(glm::vec3(world, 0.0f), camera.getPerspectiveMatrix(), camera.getViewMatrix());
    SCREEN_WIDTH = savedWidth;
    SCREEN_HEIGHT = savedHeight;
    return glm::ivec2(std::lround(pixel.x), std::lround(pixel.y));
}

glm::ivec2 GameSession::fromCentre(int dx, int dy) const
{
    return glm::ivec2(driver.windowWidth() / 2 + dx, driver.windowHeight() / 2 - dy);
}

glm::ivec2 GameSession::menuEntryPoint(float fromTop) const
{
    const float s = static_cast<float>(driver.windowWidth()) / MENU_LAYOUT_WIDTH;
    const float t = static_cast<float>(driver.windowWidth()) / TEXT_LAYOUT_WIDTH;
    // The middle of a four-letter entry (45-pixel glyphs, 54 high, at full
    // size) standing at (40s, H - fromTop * s).
    return glm::ivec2(static_cast<int>(40.0f * s + 90.0f * t), static_cast<int>(fromTop * s - 27.0f * t));
}

glm::ivec2 GameSession::playPoint() const
{
    return menuEntryPoint(400.0f);
}

glm::ivec2 GameSession::exitPoint() const
{
    return menuEntryPoint(500.0f);
}

bool GameSession::showsMenu(const Picture& picture) const
{
    // "PLAY" is 180 pixels wide and 54 high in a 1920-pixel-wide window and
    // shrinks with a smaller one.
    const glm::ivec2 play = playPoint();
    const float t = static_cast<float>(driver.windowWidth()) / TEXT_LAYOUT_WIDTH;
    const int halfWidth = static_cast<int>(80.0f * t);
    const int halfHeight = static_cast<int>(20.0f * t);
    int brightest = 0;
    for (int y = play.y - halfHeight; y <= play.y + halfHeight; ++y) {
        for (int x = play.x - halfWidth; x <= play.x + halfWidth; ++x) {
            const glm::ivec3 p = picture.pixel(x, y);
            brightest = std::max(brightest, p.x + p.y + p.z);
        }
    }
    return brightest > 600;
}

std::string GameSession::screenshot(const std::string& name)
{
    const fs::path folder = fs::path(MORVELUND_BINARY).parent_path() / "screenshots" / "e2e";
    fs::create_directories(folder);
    const std::string path = (folder / (name + ".png")).string();
    return driver.screenshot(path) ? path : std::string();
}

int GameSession::terminate()
{
    process->terminate();
    return process->waitForExit(60000);
}

std::vector<short> GameSession::recording() const
{
    const std::string bytes = work.read("recording.wav");
    std::vector<short> samples;
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return samples;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const uint32_t size = readLE(bytes, at + 4, 4);
        if (bytes.compare(at, 4, "data") == 0) {
            // A writer that did not finish leaves the size open: take the rest.
            const size_t end = (size == 0 || at + 8 + size > bytes.size()) ? bytes.size() : at + 8 + size;
            for (size_t i = at + 8; i + 1 < end; i += 2)
                samples.push_back(static_cast<short>(readLE(bytes, i, 2)));
            break;
        }
        at += 8 + size + (size & 1);
    }
    return samples;
}

std::vector<float> toneProfile(const std::vector<short>& samples, int rate, float frequency)
{
    constexpr size_t BLOCK = 4096;
    const double coefficient = 2.0 * std::cos(2.0 * PI * frequency / rate);
    std::vector<float> profile;
    for (size_t start = 0; start + BLOCK <= samples.size(); start += BLOCK / 2) {
        double s1 = 0.0;
        double s2 = 0.0;
        double windowSum = 0.0;
        for (size_t i = 0; i < BLOCK; ++i) {
            const double window = 0.5 - 0.5 * std::cos(2.0 * PI * i / (BLOCK - 1));
            windowSum += window;
            const double s = window * samples[start + i] + coefficient * s1 - s2;
            s2 = s1;
            s1 = s;
        }
        const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
        profile.push_back(static_cast<float>(2.0 * std::sqrt(std::max(power, 0.0)) / windowSum));
    }
    return profile;
}

float toneAmplitude(const std::vector<short>& samples, int rate, float frequency)
{
    float strongest = 0.0f;
    for (float amplitude : toneProfile(samples, rate, frequency))
        strongest = std::max(strongest, amplitude);
    return strongest;
}

int toneBursts(const std::vector<short>& samples, int rate, float frequency, float threshold)
{
    int bursts = 0;
    bool sounding = false;
    for (float amplitude : toneProfile(samples, rate, frequency)) {
        const bool now = amplitude > threshold;
        bursts += now && !sounding;
        sounding = now;
    }
    return bursts;
}

glm::vec2 levelStart(const std::string& level)
{
    levelmap::LevelMap map;
    std::string error;
    EXPECT_TRUE(levelmap::parse(readFile(fs::path(MORVELUND_SOURCE_DIR) / "data" / "levels" / (level + ".map")), map,
                                error))
        << error;
    for (int row = 0; row < map.height; ++row)
        for (int column = 0; column < map.width; ++column)
            if (map.at(column, row) == 'S')
                return glm::vec2(column, row);
    ADD_FAILURE() << level << " has no start";
    return glm::vec2(-1.0f);
}

float distance(glm::vec2 a, glm::vec2 b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

bool staysPut(GameProcess& game, int lines, glm::vec2* at)
{
    glm::vec2 first;
    if (!game.nextPosition(&first))
        return false;
    if (at != nullptr)
        *at = first;
    for (int i = 1; i < lines; ++i) {
        glm::vec2 next;
        if (!game.nextPosition(&next) || next != first)
            return false;
    }
    return true;
}

std::string cleanEnd(GameProcess& game, int status)
{
    const std::string& log = game.output();
    const size_t stopped = log.find("   [INFO] [");
    const size_t loopEnd = log.find("] Gameloop stopped");
    const size_t exiting = log.find("] Exiting application");
    if (status != 0)
        return "exit status " + std::to_string(status);
    if (stopped == std::string::npos || loopEnd == std::string::npos || exiting == std::string::npos)
        return "missing \"Gameloop stopped\" or \"Exiting application\"";
    if (loopEnd > exiting)
        return "\"Exiting application\" came before \"Gameloop stopped\"";
    if (log.find("[ERROR]") != std::string::npos)
        return "an error was logged";
    return "";
}
