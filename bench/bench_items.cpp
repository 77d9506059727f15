// How fast items rebuild from their codes. The loot boxes and the inventory
// window rebuild every item they draw on every frame, so a rebuild must stay
// a small multiple of the generator work it cannot avoid. That work (two
// reseedings and the random numbers a rebuild draws) is measured in the same
// run as the baseline, and the rebuild is reported as a ratio to it.

#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "core/MathUtil.h"
#include "game/Item.h"

namespace {

// Random numbers one rebuild of a rare or non-weapon epic item draws: the
// stat multiplier, six stats, base row, icon, prefix and suffix.
constexpr int DRAWS_PER_REBUILD = 11;
constexpr const char* BASELINE = "BM_GeneratorWorkOfARebuild";
constexpr const char* REBUILD = "BM_ItemRebuild";

// A spread of codes over every slot and quality, as a bag would hold.
std::vector<uint32_t> sampleCodes()
{
    std::vector<uint32_t> codes;
    std::srand(1);
    for (int i = 0; i < 256; ++i)
        codes.push_back(Item::generate(1, 100, ANY_SLOT, ANY_QUALITY));
    return codes;
}

void BM_GeneratorWorkOfARebuild(benchmark::State& state)
{
    const std::vector<uint32_t> codes = sampleCodes();
    size_t next = 0;
    for (auto _ : state) {
        std::srand(codes[next] >> 16);
        uint32_t sum = 0;
        for (int draw = 0; draw < DRAWS_PER_REBUILD; ++draw)
            sum += MathUtil::random();
        std::srand(SDL_GetTicks());
        benchmark::DoNotOptimize(sum);
        next = (next + 1) % codes.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GeneratorWorkOfARebuild);

void BM_ItemRebuild(benchmark::State& state)
{
    const std::vector<uint32_t> codes = sampleCodes();
    size_t next = 0;
    for (auto _ : state) {
        const Item item(codes[next]);
        benchmark::DoNotOptimize(item.name.data());
        benchmark::DoNotOptimize(item.strength);
        next = (next + 1) % codes.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ItemRebuild);

// Prints the usual table, then the rebuild's cost as a multiple of the baseline.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            nanosPerIteration[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto baseline = nanosPerIteration.find(BASELINE);
        const auto rebuild = nanosPerIteration.find(REBUILD);
        if (baseline == nanosPerIteration.end() || rebuild == nanosPerIteration.end() || baseline->second <= 0.0)
            return;
        std::printf("item rebuild / generator work of a rebuild = %.2f\n", rebuild->second / baseline->second);
    }

private:
    std::map<std::string, double> nanosPerIteration;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
