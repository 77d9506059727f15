// Building data.mv2 and verifying its checksum on the shipped asset set, each
// reported beside one sequential read of the same bytes: the fastest any
// package step could be on this machine. Run from the game's working
// directory (scripts/bench does that).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "core/AssetList.h"
#include "core/FileReader.h"
#include "core/PackageManager.h"

namespace {

const char* const SCRATCH_PACKAGE = "/tmp/morvelund-bench.mv2";

bool allAssetsPresent()
{
    for (const std::string& path : getAssetList()) {
        if (!FileReader::file_exists(path))
            return false;
    }
    return true;
}

// Reads every asset once, start to end, the way the package writer does.
void BM_SequentialReadOfAssets(benchmark::State& state)
{
    const std::vector<std::string> assets = getAssetList();
    int64_t bytes = 0;
    for (auto _ : state) {
        for (const std::string& path : assets) {
            unsigned size = 0;
            void* buffer = FileReader::fileToBuffer(path, &size);
            benchmark::DoNotOptimize(buffer);
            std::free(buffer);
            bytes += size;
        }
    }
    state.SetBytesProcessed(bytes);
}

void BM_CreatePackage(benchmark::State& state)
{
    const std::vector<std::string> assets = getAssetList();
    for (auto _ : state) {
        if (!PackageManager::getInstance()->createPackage(assets, SCRATCH_PACKAGE, true))
            state.SkipWithError("package build failed");
    }
}

// Reads the package file once, whole: the baseline for verification.
void BM_SequentialReadOfPackage(benchmark::State& state)
{
    for (auto _ : state) {
        unsigned size = 0;
        void* buffer = FileReader::fileToBuffer(SCRATCH_PACKAGE, &size);
        benchmark::DoNotOptimize(buffer);
        std::free(buffer);
        state.SetBytesProcessed(state.bytes_processed() + size);
    }
}

void BM_VerifyPackage(benchmark::State& state)
{
    PackageManager* packages = PackageManager::getInstance();
    for (auto _ : state) {
        unsigned stored = 0;
        unsigned computed = 0;
        if (!packages->getChecksum(SCRATCH_PACKAGE, &stored) || !packages->calculateChecksum(SCRATCH_PACKAGE, &computed) ||
            stored != computed)
            state.SkipWithError("package verification failed");
    }
}

BENCHMARK(BM_SequentialReadOfAssets)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CreatePackage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SequentialReadOfPackage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VerifyPackage)->Unit(benchmark::kMillisecond);

// Prints the usual table and remembers each benchmark's time per iteration,
// so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (!run.error_occurred && run.iterations > 0)
                secondsPerIteration[run.benchmark_name()] = run.real_accumulated_time / static_cast<double>(run.iterations);
        }
    }

    void printRatio(const char* what, const std::string& measured, const std::string& baseline) const
    {
        const auto m = secondsPerIteration.find(measured);
        const auto b = secondsPerIteration.find(baseline);
        if (m != secondsPerIteration.end() && b != secondsPerIteration.end() && b->second > 0.0)
            std::printf("%s: %.2f x one sequential read\n", what, m->second / b->second);
    }

private:
    std::map<std::string, double> secondsPerIteration;
};

} // namespace

int main(int argc, char** argv)
{
    if (!allAssetsPresent()) {
        std::printf("Not every asset is built here; run from the game's data directory after a full build.\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("Package build", "BM_CreatePackage", "BM_SequentialReadOfAssets");
    reporter.printRatio("Package verification", "BM_VerifyPackage", "BM_SequentialReadOfPackage");
    std::remove(SCRATCH_PACKAGE);
    return 0;
}
