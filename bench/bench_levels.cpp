// Level loading on the shipped levels: the whole set-up of every level, and
// on every level the sight cache built both the fast way the game uses and
// the plain way (every ordered pair of leaves walked against every wall box),
// in the same run, with the ratios at the end. The two caches must be
// identical; a benchmark whose caches differ ends with an error. Run from the
// game's working directory (scripts/bench does that): it reads data.mv2 and
// needs an X display for the GL objects a level uploads.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <GL/glew.h>
#include <SDL.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "GLContext.h"
#include "core/AssetList.h"
#include "core/Util.h"
#include "game/Level.h"

namespace {

const int WINDOW_WIDTH = 1280;
const int WINDOW_HEIGHT = 720;

// The level with its sight cache builders and leaves open to the benchmark.
class BenchLevel : public Level {
public:
    using Level::Level;
    using Level::leaves;
    using Level::populate_los_data;
    using Level::populateLosDataFromEveryPair;
    using Level::height;
    using Level::width;
    using Level::xmlPath;

    // Every leaf's cache, in leaf order.
    std::vector<std::map<uint64_t, bool>> caches() const
    {
        std::vector<std::map<uint64_t, bool>> all;
        for (const node* leaf : leaves)
            all.push_back(*leaf->losCache);
        return all;
    }
};

std::vector<std::string> levelFiles()
{
    std::vector<std::string> files;
    for (const std::string& path : getAssetList())
        if (path.rfind("levels/", 0) == 0 && path.size() > 4 && path.compare(path.size() - 4, 4, ".xml") == 0)
            files.push_back(path);
    return files;
}

void BM_LevelSetup(benchmark::State& state, const std::string& path)
{
    for (auto _ : state) {
        Level* level = new Level(path);
        if (!level->setup())
            state.SkipWithError(("set-up failed: " + path).c_str());
        delete level;
    }
}

// One shipped level, set up once outside the timing, with the caches the
// plain walk gives it.
struct SightCase {
    BenchLevel* level = nullptr;
    std::vector<std::map<uint64_t, bool>> plainCaches;
    int cells = 0;
};

void BM_SightCacheEveryPair(benchmark::State& state, SightCase* sight)
{
    for (auto _ : state)
        sight->level->populateLosDataFromEveryPair();
    if (sight->level->caches() != sight->plainCaches)
        state.SkipWithError("the plain walk gave another cache than before");
}

void BM_SightCacheFast(benchmark::State& state, SightCase* sight)
{
    for (auto _ : state)
        sight->level->populate_los_data();
    if (sight->level->caches() != sight->plainCaches)
        state.SkipWithError("the fast cache differs from the plain walk's");
}

// Prints the usual table and remembers each benchmark's time per iteration,
// so the ratio of the two cache builders can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.iterations > 0)
                seconds[run.benchmark_name()] = run.real_accumulated_time / static_cast<double>(run.iterations);
    }

    bool has(const std::string& name) const { return seconds.count(name) > 0; }
    double of(const std::string& name) const { return seconds.at(name); }

private:
    std::map<std::string, double> seconds;
};

std::string cpuModel()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line))
        if (line.rfind("model name", 0) == 0)
            return line.substr(line.find(':') + 2);
    return "unknown";
}

// Sets every shipped level up once and fills its caches the plain way.
// False when a level does not load.
bool prepareSightCases(const std::vector<std::string>& files, std::vector<SightCase>* cases)
{
    for (const std::string& path : files) {
        SightCase sight;
        sight.level = new BenchLevel(path);
        cases->push_back(sight);
        if (!sight.level->setup()) {
            std::printf("%s does not load.\n", path.c_str());
            return false;
        }
        sight.level->populateLosDataFromEveryPair();
        cases->back().plainCaches = sight.level->caches();
        cases->back().cells = sight.level->width * sight.level->height;
    }
    return true;
}

// The largest level: the most cells, then the most leaves.
const SightCase* largest(const std::vector<SightCase>& cases)
{
    const SightCase* best = &cases.front();
    for (const SightCase& sight : cases)
        if (sight.cells > best->cells
            || (sight.cells == best->cells && sight.level->leaves.size() > best->level->leaves.size()))
            best = &sight;
    return best;
}

void printSightRatios(const RatioReporter& reporter, const std::vector<SightCase>& cases)
{
    std::printf("\nSight cache, fast build against every pair walked (identical caches):\n");
    double plainTotal = 0.0;
    double fastTotal = 0.0;
    for (const SightCase& sight : cases) {
        const std::string& path = sight.level->xmlPath;
        const std::string plain = "BM_SightCacheEveryPair/" + path;
        const std::string fast = "BM_SightCacheFast/" + path;
        if (!reporter.has(plain) || !reporter.has(fast))
            continue;
        plainTotal += reporter.of(plain);
        fastTotal += reporter.of(fast);
        std::printf("  %-20s %4zu leaves %5.1f x faster (%.2f ms against %.2f ms)%s\n", path.c_str(),
                    sight.level->leaves.size(), reporter.of(plain) / reporter.of(fast), reporter.of(fast) * 1e3,
                    reporter.of(plain) * 1e3, &sight == largest(cases) ? "  <- the largest level" : "");
    }
    if (fastTotal > 0.0)
        std::printf("  all levels together: %.1f x faster\n", plainTotal / fastTotal);
}

} // namespace

int main(int argc, char** argv)
{
    if (access("data.mv2", R_OK) != 0) {
        std::printf("No data.mv2 here; run from the game's data directory after a full build.\n");
        return 1;
    }
    GLContext context(WINDOW_WIDTH, WINDOW_HEIGHT);
    if (!context.ok()) {
        std::printf("No GL 3.3 core context (is DISPLAY set?): %s\n", context.error());
        return 1;
    }
    const std::vector<std::string> files = levelFiles();
    std::vector<SightCase> cases;
    const bool prepared = !files.empty() && prepareSightCases(files, &cases);
    if (prepared) {
        for (const std::string& path : files)
            benchmark::RegisterBenchmark(("BM_LevelSetup/" + path).c_str(), BM_LevelSetup, path)
                ->Unit(benchmark::kMillisecond);
        for (SightCase& sight : cases) {
            const std::string& path = sight.level->xmlPath;
            benchmark::RegisterBenchmark(("BM_SightCacheEveryPair/" + path).c_str(), BM_SightCacheEveryPair, &sight)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("BM_SightCacheFast/" + path).c_str(), BM_SightCacheFast, &sight)
                ->Unit(benchmark::kMillisecond);
        }
        std::printf("Machine: %ld cores, %s\n", sysconf(_SC_NPROCESSORS_ONLN), cpuModel().c_str());
        benchmark::Initialize(&argc, argv);
        RatioReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        printSightRatios(reporter, cases);
    }
    for (SightCase& sight : cases)
        delete sight.level;
    return prepared ? 0 : 1;
}
