// What a frame of each fixed scene costs, beside the least any frame costs:
// the minimal frame (the offscreen framebuffer with depth cleared, one
// full-window quad drawn into it, the pixelate pass to the window, the
// swap), drawn in the same process at the same window size. Each scene is
// the one the picture test compares (tools/scenes), staged in a game object
// of its own and drawn for a fixed number of frames ending in glFinish,
// swapping as the game does; nothing is updated between frames, so every
// frame draws the same picture and the figures are the drawing's alone.
//
// Reported per window size and scene, as medians over the rounds:
//   fps            frames per second of wall time;
//   cpu_ms         CPU time of the whole process per frame, every thread
//                  (the rasteriser's threads do most of it), which the
//                  load of a shared machine changes far less than fps;
//   minimal_fps/fps and cpu/minimal_cpu: the scene against the minimal
//                  frame of the same round, the figures to compare
//                  between builds and machines.
// The rounds interleave the scenes and the minimal frame, so a change of
// load hits all of them alike.
// usage: bench_frames [--frames=N] [--rounds=N] [WIDTHxHEIGHT ...]
// Run from the game's data directory (scripts/bench does that) on an X display.
#include <GL/glew.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "OffscreenFrame.h"
#include "SceneGame.h"
#include "ScenePictures.h"
#include "SceneWindow.h"
#include "core/FileReader.h"
#include "core/Util.h"
#include "render/Camera.h"
#include "render/ScreenQuad.h"
#include "render/TextureManager.h"

namespace {

const char* const GAME_LOG = "/tmp/morvelund-bench-frames.log";
const char* const QUAD_TEXTURE = "textures/logo.png";
constexpr int DEFAULT_FRAMES = 40;
constexpr int DEFAULT_ROUNDS = 3;
// Frames drawn before timing: the first draws of a program compile its
// shaders in the driver.
constexpr int WARM_UP_FRAMES = 3;

using Clock = std::chrono::steady_clock;

double processCpuMilliseconds()
{
    timespec now = {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1.0e6;
}

struct Timing {
    double fps = 0.0;
    double cpuMs = 0.0;
};

// Draws 'frames' frames after a warm-up and waits for the last to finish.
Timing timeFrames(int frames, const std::function<void()>& frame)
{
    for (int i = 0; i < WARM_UP_FRAMES; ++i)
        frame();
    glFinish();
    const Clock::time_point start = Clock::now();
    const double cpuStart = processCpuMilliseconds();
    for (int i = 0; i < frames; ++i)
        frame();
    glFinish();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    Timing timing;
    timing.fps = frames / seconds;
    timing.cpuMs = (processCpuMilliseconds() - cpuStart) / frames;
    return timing;
}

// What every frame must do, and no more.
class MinimalFrame {
public:
    MinimalFrame()
        : camera(glm::vec3(0.0f, 0.0f, 10.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f),
                 static_cast<float>(SCREEN_WIDTH), static_cast<float>(SCREEN_HEIGHT))
        , picture(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, "shaders/basicortho.vs", "shaders/basicortho.fs")
        , pass(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, "shaders/basicortho.vs",
               "shaders/pixelate_" + std::to_string(SCREEN_WIDTH) + ".fs")
    {
        texture = TextureManager::getInstance()->loadTexture(QUAD_TEXTURE, true);
        ready = texture != 0 && picture.setup() && pass.setup();
        picture.setTexture(texture);
        pass.setTexture(target.texture);
    }
    ~MinimalFrame()
    {
        if (texture != 0)
            TextureManager::getInstance()->freeTexture(QUAD_TEXTURE);
    }
    MinimalFrame(const MinimalFrame&) = delete;
    MinimalFrame& operator=(const MinimalFrame&) = delete;

    bool ok() const { return ready && target.complete(); }

    void draw()
    {
        glBindFramebuffer(GL_FRAMEBUFFER, target.frameBuffer);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        picture.render(&camera);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        pass.render(&camera);
        glEnable(GL_DEPTH_TEST);
    }

private:
    OffscreenFrame target;
    Camera camera;
    ScreenQuad picture;
    ScreenQuad pass;
    GLuint texture = 0;
    bool ready = false;
};

struct Row {
    std::string size;
    Scene scene;
    std::vector<Timing> rounds;
    std::vector<Timing> minimal;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0.0 : n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

template <typename Field>
double medianOf(const std::vector<Timing>& timings, Field field)
{
    std::vector<double> values;
    for (const Timing& timing : timings)
        values.push_back(field(timing));
    return median(values);
}

void printRow(FILE* out, const Row& row)
{
    std::vector<double> fpsRatios, cpuRatios;
    for (size_t i = 0; i < row.rounds.size(); ++i) {
        fpsRatios.push_back(row.minimal[i].fps / row.rounds[i].fps);
        cpuRatios.push_back(row.rounds[i].cpuMs / row.minimal[i].cpuMs);
    }
    std::fprintf(out, "%-10s %-10s %8.1f %8.2f %15.2f %12.2f\n", row.size.c_str(), sceneName(row.scene),
                medianOf(row.rounds, [](const Timing& t) { return t.fps; }),
                medianOf(row.rounds, [](const Timing& t) { return t.cpuMs; }), median(fpsRatios), median(cpuRatios));
}

bool parseArguments(int argc, char** argv, int* frames, int* rounds, std::vector<ScenePictures::WindowSize>* sizes)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        ScenePictures::WindowSize size = {};
        if (argument.rfind("--frames=", 0) == 0)
            *frames = std::atoi(argument.c_str() + 9);
        else if (argument.rfind("--rounds=", 0) == 0)
            *rounds = std::atoi(argument.c_str() + 9);
        else if (ScenePictures::parseSize(argument, &size))
            sizes->push_back(size);
        else
            return false;
    }
    if (sizes->empty())
        sizes->assign(std::begin(ScenePictures::SIZES), std::end(ScenePictures::SIZES));
    return *frames > 0 && *rounds > 0;
}

// Every scene of one round at one size, each after its own minimal frame.
bool runRound(const ScenePictures::WindowSize& size, int frames, SceneWindow& window, std::vector<Row>& rows)
{
    ScenePictures::useWindowSize(size);
    for (Row& row : rows) {
        MinimalFrame* minimal = new MinimalFrame();
        if (!minimal->ok()) {
            delete minimal;
            return false;
        }
        row.minimal.push_back(timeFrames(frames, [&] {
            minimal->draw();
            window.swap();
        }));
        delete minimal;

        SceneGame* game = new SceneGame();
        OffscreenFrame* target = new OffscreenFrame();
        const bool staged = game->stage(row.scene);
        if (staged) {
            row.rounds.push_back(timeFrames(frames, [&] {
                game->draw(target->frameBuffer, target->texture);
                window.swap();
            }));
        }
        delete target;
        delete game;
        if (!staged)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int frames = DEFAULT_FRAMES, rounds = DEFAULT_ROUNDS;
    std::vector<ScenePictures::WindowSize> sizes;
    if (!parseArguments(argc, argv, &frames, &rounds, &sizes)) {
        std::printf("usage: %s [--frames=N] [--rounds=N] [WIDTHxHEIGHT ...]\n", argv[0]);
        return 2;
    }
    if (!FileReader::file_exists("data.mv2")) {
        std::printf("No data.mv2 here; run from the game's data directory after a full build.\n");
        return 1;
    }
    SceneWindow window;
    if (!window.ok()) {
        std::printf("No GL 3.3 core context (is DISPLAY set?): %s\n", window.error());
        return 1;
    }
    std::printf("%s, %ld cores, %d frames a scene, %d rounds\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)), sysconf(_SC_NPROCESSORS_ONLN), frames, rounds);
    std::fflush(stdout);
    // The table goes to the console, the game's log lines to a file.
    const int console = dup(STDOUT_FILENO);
    if (console < 0 || std::freopen(GAME_LOG, "w", stdout) == nullptr)
        return 1;
    FILE* table = fdopen(console, "w");

    bool ok = true;
    for (const ScenePictures::WindowSize& size : sizes) {
        std::vector<Row> rows;
        for (Scene scene : ALL_SCENES)
            rows.push_back(Row{std::to_string(size.width) + "x" + std::to_string(size.height), scene, {}, {}});
        for (int round = 0; round < rounds && ok; ++round)
            ok = runRound(size, frames, window, rows);
        if (!ok)
            break;
        std::vector<Timing> minimal;
        for (const Row& row : rows)
            minimal.insert(minimal.end(), row.minimal.begin(), row.minimal.end());
        std::fprintf(table, "%-10s %-10s %8s %8s %15s %12s\n", "size", "scene", "fps", "cpu_ms", "minimal_fps/fps",
                     "cpu/minimal");
        std::fprintf(table, "%-10s %-10s %8.1f %8.2f\n", rows[0].size.c_str(), "minimal",
                     medianOf(minimal, [](const Timing& t) { return t.fps; }),
                     medianOf(minimal, [](const Timing& t) { return t.cpuMs; }));
        for (const Row& row : rows)
            printRow(table, row);
        std::fflush(table);
    }
    std::fflush(stdout);
    if (!ok)
        std::fprintf(table, "a scene or the minimal frame could not be set up; see %s\n", GAME_LOG);
    std::fclose(table);
    return ok ? 0 : 1;
}
