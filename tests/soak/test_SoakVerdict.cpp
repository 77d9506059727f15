// The soak's growth verdict (scripts/soak --judge) on made-up runs: a leak
// of the game's own memory or of GL objects must be named, while cache
// warm-up on a first visit, allocator noise and a step of resident memory
// that malloc keeps after a peak must pass.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/GameProcess.h"
#include "support/TempDir.h"

namespace {

const char* const HEADER = "seconds\tpoint\trss_kb\tanon_kb\tfile_kb\tbuffers\ttextures\tvertex_arrays\t"
                           "framebuffers\trenderbuffers\tprograms\tshaders\tqueries\tsamplers\tmalloc_kb\n";

struct Visit {
    std::string point;
    long anonKb;
    long mallocKb;
    int buffers;
};

// A run of 'visits' visits to each of two arrival points, from 'visitOf'.
template <typename VisitOf>
std::string run(int visits, VisitOf visitOf)
{
    std::ostringstream samples;
    samples << HEADER;
    for (int i = 0; i < visits; ++i) {
        for (const char* point : {"level0:start", "level1_1:start"}) {
            const Visit v = visitOf(point, i);
            samples << 10 * i << '\t' << v.point << '\t' << v.anonKb + 73000 << '\t' << v.anonKb << "\t73000\t"
                    << v.buffers << "\t35\t" << v.buffers - 3 << "\t1\t1\t7\t0\t0\t0\t" << v.mallocKb << '\n';
        }
    }
    return samples.str();
}

// The verdict's lines; *passed tells the status.
std::string judge(const std::string& samples, bool* passed)
{
    TempDir dir;
    const std::string file = dir.write("samples.tsv", samples);
    int status = -1;
    const std::string verdict =
        runCommand("'" MORVELUND_SOURCE_DIR "/scripts/soak' --judge '" + file + "' 2>&1", &status);
    *passed = status == 0;
    return verdict;
}

// Steady memory with some noise, more buffers in the dungeon than in town.
Visit steady(const std::string& point, int i)
{
    const long wobble = (i * 37) % 900;
    return {point, 120000 + wobble, 91000 + wobble, point == "level0:start" ? 232 : 327};
}

} // namespace

TEST(SoakVerdict, PassesNoiseWarmUpAndAResidentStepThatMallocDoesNotShare)
{
    bool passed = false;
    EXPECT_EQ(judge(run(30, steady), &passed), "");
    EXPECT_TRUE(passed);

    // The first visit fills caches: more memory and objects only then.
    const auto warmUp = [](const std::string& point, int i) {
        Visit v = steady(point, i);
        if (i == 0) {
            v.buffers += 40;
            v.mallocKb -= 9000;
            v.anonKb -= 9000;
        }
        return v;
    };
    EXPECT_EQ(judge(run(30, warmUp), &passed), "");
    EXPECT_TRUE(passed);

    // malloc keeps the pages of a passing peak: resident memory steps up by
    // 4 MB once while what malloc has out stays put.
    const auto step = [](const std::string& point, int i) {
        Visit v = steady(point, i);
        if (i >= 20)
            v.anonKb += 4096;
        return v;
    };
    EXPECT_EQ(judge(run(30, step), &passed), "");
    EXPECT_TRUE(passed);
}

TEST(SoakVerdict, NamesGrowingAllocationsGrowingResidentMemoryAndGLObjectsThatChangeAfterTheFirstVisit)
{
    bool passed = true;
    // 200 kB more out of malloc per visit in the dungeon: a leak per level change.
    const auto leak = [](const std::string& point, int i) {
        Visit v = steady(point, i);
        if (point == "level1_1:start")
            v.mallocKb += 200L * i;
        return v;
    };
    std::string verdict = judge(run(30, leak), &passed);
    EXPECT_FALSE(passed);
    EXPECT_NE(verdict.find("memory out of malloc at level1_1:start grew"), std::string::npos) << verdict;
    EXPECT_EQ(verdict.find("level0:start"), std::string::npos) << verdict;

    // Resident memory that keeps climbing, 20 MB over the run.
    const auto climb = [](const std::string& point, int i) {
        Visit v = steady(point, i);
        v.anonKb += 700L * i;
        return v;
    };
    verdict = judge(run(30, climb), &passed);
    EXPECT_FALSE(passed);
    EXPECT_NE(verdict.find("anonymous resident memory at level0:start grew"), std::string::npos) << verdict;

    // One buffer more in town from the tenth visit on: named once, with the time.
    const auto objects = [](const std::string& point, int i) {
        Visit v = steady(point, i);
        if (point == "level0:start" && i >= 10)
            v.buffers += 1;
        return v;
    };
    verdict = judge(run(30, objects), &passed);
    EXPECT_FALSE(passed);
    const std::string named = "GL objects at level0:start changed from (232 35 229 1 1 7 0 0 0) "
                              "to (233 35 230 1 1 7 0 0 0) at 100 s";
    EXPECT_NE(verdict.find(named), std::string::npos) << verdict;
    EXPECT_EQ(verdict.find("level1_1"), std::string::npos) << verdict;
}
