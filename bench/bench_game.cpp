// How long the game takes to start, to change level and to run one frame,
// each beside a baseline measured in the same run:
//   - start-up to the first frame (package check, the game object's
//     construction and setup, one start-menu frame drawn and finished)
//     against the package check alone, the one step every start shares;
//   - a level change (OrvoGame::setupLevel) into each of the ten levels
//     against loading that level alone, which shows what the enemies, boss,
//     townsfolk, projectile pool, background sound and teardown of the level
//     left behind add;
//   - the game's own CPU time per frame (updates and draw submission, on the
//     main thread, glFinish left out) in the busiest level, with every enemy
//     hunting the hero and the boss roused, against the start-menu frame
//     over the town; the wall times of submission and of glFinish are
//     reported beside.
// The window (hidden) and its GL context are made once for the whole run, so
// the start-up figure leaves out SDL's window and context creation. The
// game's log lines go to a file, so the table stays readable. Run from the
// game's working directory (scripts/bench does that) on an X display.
#include <benchmark/benchmark.h>

#include <GL/glew.h>
#include <SDL.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <ext/stdio_filebuf.h>
#include <fstream>
#include <map>
#include <ostream>
#include <string>

#include "OffscreenFrame.h"
#include "SceneGame.h"
#include "core/FileReader.h"
#include "core/PackageManager.h"
#include "core/Util.h"
#include "game/Boss.h"
#include "game/Enemy.h"
#include "game/Level.h"
#include "game/LootManager.h"
#include "game/Npc.h"
#include "game/OrvoGame.h"
#include "game/Player.h"
#include "game/ProjectileManager.h"
#include "game/Skill.h"
#include "hud/CombatText.h"
#include "hud/Hud.h"
#include "render/Camera.h"
#include "render/ParticleSystem.h"
#include "render/ScreenQuad.h"

namespace {

const char* const PACKAGE = "data.mv2";
const char* const GAME_LOG = "/tmp/morvelund-bench-game.log";
const char* const LEVELS[] = {
    "levels/level0.xml",   "levels/level1_1.xml", "levels/level1_2.xml", "levels/level1_3.xml", "levels/level2_1.xml",
    "levels/level2_2.xml", "levels/level2_3.xml", "levels/level3_1.xml", "levels/level3_2.xml", "levels/level3_3.xml",
};
constexpr int LEVEL_COUNT = sizeof(LEVELS) / sizeof(LEVELS[0]);
const char* const TOWN = "levels/level0.xml";
constexpr float FRAME_SECONDS = 1.0f / 60.0f;
constexpr double FRAME_BUDGET_MS = 1000.0 / 60.0;
// Long enough for most of the crowd to reach the hero across the level.
constexpr float GATHER_SECONDS = 60.0f;
// Enough experience for the highest level: its health outlasts a frame of
// every enemy of the busiest level striking at once.
constexpr int HERO_EXPERIENCE = 999999;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double threadCpuMilliseconds()
{
    timespec now = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1.0e6;
}

OffscreenFrame* offscreen = nullptr;

// The game object with its frame in reach: the playing frame's updates and
// the drawing, minus input and the buffer swap.
class BenchGame : public SceneGame {
public:

    bool changeLevel(const std::string& path)
    {
        levelPath = path;
        return setupLevel(SETUP_LEVEL_START);
    }

    size_t fighters() const { return enemies.size() + (boss != nullptr ? 1 : 0); }

    // Enemies that stayed engaged through their last update: those that see the hero.
    int engaged() const
    {
        int count = 0;
        for (const Enemy* enemy : enemies)
            count += enemy->state == ENEMY_STATE_ENGAGED ? 1 : 0;
        return count;
    }

    void startPlaying()
    {
        hud->menu = false;
        hud->showAll(true);
        player->addExp(HERO_EXPERIENCE);
        player->position.z = 0.0f;
        player->falling = false;
        gameState = GAME_STATE_PLAYING;
    }

    // Every living enemy hunts the hero: those that see it stay engaged, the
    // others make for where it stands. The boss is roused, and the hero lives
    // on, so the same crowd is busy in every frame.
    void huntTheHero()
    {
        player->resetHealth();
        gameState = GAME_STATE_PLAYING;
        for (Enemy* enemy : enemies) {
            if (enemy->isDead() || enemy->state == ENEMY_STATE_ENGAGED || enemy->state == ENEMY_STATE_FLEE)
                continue;
            enemy->state = ENEMY_STATE_SEEK;
            enemy->lastKnownTarget = player->position;
        }
        if (boss != nullptr)
            boss->aggro = true;
    }

    // Plays 'seconds' of the hunt without drawing, so the crowd has gathered.
    void gather(float seconds)
    {
        for (float played = 0.0f; played < seconds; played += FRAME_SECONDS) {
            huntTheHero();
            playingUpdates(FRAME_SECONDS);
        }
    }

    void menuUpdates(float dt)
    {
        level->update(dt);
        camera->update(dt);
        hud->update(dt, SCREEN_WIDTH / 2, SCREEN_HEIGHT / 2);
        for (Npc* npc : npcs)
            npc->update(dt, level);
    }

    // A playing frame's updates with the pointer resting at the centre.
    void playingUpdates(float dt) { updateWorld(dt, SCREEN_WIDTH / 2, SCREEN_HEIGHT / 2); }

    void draw() { drawWorldAndOverlays(offscreen->frameBuffer, offscreen->texture); }
};

// The one game object the level and frame benchmarks share, set up in town.
BenchGame* sharedGame = nullptr;

BenchGame* game()
{
    if (sharedGame == nullptr) {
        sharedGame = new BenchGame();
        if (!sharedGame->setup())
            std::abort();
    }
    return sharedGame;
}

bool packageIntact()
{
    PackageManager* packages = PackageManager::getInstance();
    unsigned stored = 0;
    unsigned computed = 0;
    return packages->getChecksum(PACKAGE, &stored) && packages->calculateChecksum(PACKAGE, &computed) &&
           stored == computed;
}

void BM_PackageCheck(benchmark::State& state)
{
    for (auto _ : state) {
        if (!packageIntact())
            state.SkipWithError("data.mv2 failed its check");
    }
}
BENCHMARK(BM_PackageCheck)->Unit(benchmark::kMillisecond);

void BM_StartupToFirstFrame(benchmark::State& state)
{
    for (auto _ : state) {
        if (!packageIntact())
            state.SkipWithError("data.mv2 failed its check");
        BenchGame* starting = new BenchGame();
        if (!starting->setup()) {
            state.SkipWithError("the game's setup failed");
            delete starting;
            break;
        }
        starting->menuUpdates(FRAME_SECONDS);
        starting->draw();
        glFinish();
        state.PauseTiming();
        delete starting;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToFirstFrame)->Unit(benchmark::kMillisecond);

void BM_LevelAlone(benchmark::State& state)
{
    const char* path = LEVELS[state.range(0)];
    state.SetLabel(path);
    for (auto _ : state) {
        Level level(path);
        if (!level.setup())
            state.SkipWithError("the level failed to load");
    }
}
BENCHMARK(BM_LevelAlone)->DenseRange(0, LEVEL_COUNT - 1)->Unit(benchmark::kMillisecond);

// Each change comes from another level, as in play: from a dungeon into the
// town, from the town into a dungeon. A change into the level already there
// would find its textures still in the cache and leave their loading out.
void BM_LevelChange(benchmark::State& state)
{
    const char* path = LEVELS[state.range(0)];
    const char* from = path == std::string(TOWN) ? LEVELS[LEVEL_COUNT - 1] : TOWN;
    state.SetLabel(path);
    BenchGame* running = game();
    for (auto _ : state) {
        state.PauseTiming();
        running->changeLevel(from);
        state.ResumeTiming();
        if (!running->changeLevel(path))
            state.SkipWithError("the level change failed");
    }
    state.counters["fighters"] = static_cast<double>(running->fighters());
}
BENCHMARK(BM_LevelChange)->DenseRange(0, LEVEL_COUNT - 1)->Unit(benchmark::kMillisecond);

// Times frames by hand. The benchmark's time is the main thread's CPU time
// for the frame's updates and draw submission: the game's own work plus
// what the driver does on the calling thread. The counters split it, and
// give the wall time of the same work (most of it waiting for the
// rasteriser to finish the world, which the pixelate pass then samples) and
// the wall time glFinish then waits for the rasteriser threads.
template <typename Updates>
void timeFrames(benchmark::State& state, BenchGame* running, Updates updates)
{
    double updateCpu = 0.0, drawCpu = 0.0, submitWall = 0.0, finishWall = 0.0;
    glFinish();
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const double cpuStart = threadCpuMilliseconds();
        updates(running);
        const double cpuUpdated = threadCpuMilliseconds();
        running->draw();
        const double cpuSubmitted = threadCpuMilliseconds();
        submitWall += millisecondsSince(start);
        const Clock::time_point finishStart = Clock::now();
        glFinish();
        finishWall += millisecondsSince(finishStart);
        updateCpu += cpuUpdated - cpuStart;
        drawCpu += cpuSubmitted - cpuUpdated;
        state.SetIterationTime((cpuSubmitted - cpuStart) / 1000.0);
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["update_cpu_ms"] = updateCpu / frames;
    state.counters["draw_cpu_ms"] = drawCpu / frames;
    state.counters["submit_wall_ms"] = submitWall / frames;
    state.counters["glFinish_wall_ms"] = finishWall / frames;
}

void BM_FrameTownMenu(benchmark::State& state)
{
    BenchGame* running = game();
    running->changeLevel(TOWN);
    timeFrames(state, running, [](BenchGame* g) { g->menuUpdates(FRAME_SECONDS); });
}
BENCHMARK(BM_FrameTownMenu)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_FrameBusiestLevel(benchmark::State& state)
{
    BenchGame* running = game();
    const char* busiest = TOWN;
    size_t most = 0;
    for (const char* path : LEVELS) {
        running->changeLevel(path);
        if (running->fighters() > most) {
            most = running->fighters();
            busiest = path;
        }
    }
    running->changeLevel(busiest);
    running->startPlaying();
    running->gather(GATHER_SECONDS);
    state.SetLabel(busiest);
    timeFrames(state, running, [](BenchGame* g) {
        g->huntTheHero();
        g->playingUpdates(FRAME_SECONDS);
    });
    state.counters["fighters"] = static_cast<double>(most);
    state.counters["engaged"] = static_cast<double>(running->engaged());
}
BENCHMARK(BM_FrameBusiestLevel)->UseManualTime()->Unit(benchmark::kMillisecond);

// Prints the usual table, then each figure as a multiple of its baseline.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (!run.error_occurred)
                msPerIteration[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
    }

    void printRatios(std::ostream& out) const
    {
        printRatio(out, "start-up to the first frame / package check", "BM_StartupToFirstFrame", "BM_PackageCheck");
        for (int i = 0; i < LEVEL_COUNT; ++i) {
            const std::string index = std::to_string(i);
            printRatio(out, std::string("level change / level alone, ") + LEVELS[i], "BM_LevelChange/" + index,
                       "BM_LevelAlone/" + index);
        }
        printRatio(out, "busiest level frame / town menu frame", "BM_FrameBusiestLevel/manual_time",
                   "BM_FrameTownMenu/manual_time");
        const auto busy = msPerIteration.find("BM_FrameBusiestLevel/manual_time");
        if (busy != msPerIteration.end())
            out << "busiest level frame / a 60 Hz frame = " << busy->second / FRAME_BUDGET_MS << "\n";
    }

private:
    void printRatio(std::ostream& out, const std::string& what, const std::string& measured,
                    const std::string& baseline) const
    {
        const auto m = msPerIteration.find(measured);
        const auto b = msPerIteration.find(baseline);
        if (m != msPerIteration.end() && b != msPerIteration.end() && b->second > 0.0)
            out << what << " = " << m->second / b->second << "\n";
    }

    std::map<std::string, double> msPerIteration;
};

// A hidden window of the game's largest size with a GL 3.3 core context,
// and the GL state the frame loop sets before its first frame.
SDL_Window* openWindow()
{
    request_x11_video_driver();
    if (SDL_Init(SDL_INIT_VIDEO) < 0)
        return nullptr;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SCREEN_WIDTH = 1920;
    SCREEN_HEIGHT = 1080;
    SDL_Window* window = SDL_CreateWindow("morvelund bench", 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr || SDL_GL_CreateContext(window) == nullptr)
        return nullptr;
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK)
        return nullptr;
    glGetError();
    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    BenchGame::setDrawingState();
    return window;
}

int countErrorLines(const char* path)
{
    std::ifstream log(path);
    std::string line;
    int errors = 0;
    while (std::getline(log, line)) {
        if (line.find("[ERROR]") != std::string::npos)
            ++errors;
    }
    return errors;
}

} // namespace

int main(int argc, char** argv)
{
    if (!FileReader::file_exists(PACKAGE)) {
        std::printf("No data.mv2 here; run from the game's data directory after a full build.\n");
        return 1;
    }
    // Sound plays into nothing: the figures must not depend on a sound card.
    setenv("ALSOFT_DRIVERS", "null", 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    SDL_Window* window = openWindow();
    if (window == nullptr) {
        std::printf("No GL 3.3 core context (is DISPLAY set?): %s\n", SDL_GetError());
        return 1;
    }

    // The table goes to the console, the game's log lines to a file.
    std::fflush(stdout);
    const int console = dup(STDOUT_FILENO);
    if (console < 0 || std::freopen(GAME_LOG, "w", stdout) == nullptr)
        return 1;
    __gnu_cxx::stdio_filebuf<char> consoleBuffer(console, std::ios::out);
    std::ostream consoleStream(&consoleBuffer);

    offscreen = new OffscreenFrame();
    RatioReporter reporter;
    reporter.SetOutputStream(&consoleStream);
    reporter.SetErrorStream(&consoleStream);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios(consoleStream);
    benchmark::Shutdown();

    delete sharedGame;
    delete offscreen;
    std::fflush(stdout);
    consoleStream << "the game logged " << countErrorLines(GAME_LOG) << " error lines (its log: " << GAME_LOG << ")\n";
    return 0;
}
