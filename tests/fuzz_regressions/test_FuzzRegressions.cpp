#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/FuzzTargets.h"
#include "GLContext.h"
#include "support/TempDir.h"
#include "support/TestPackage.h"

// Every input a fuzzer once broke a reader with is kept under
// inputs/<target>/ and replayed here through the target's own entry point.
// A fault coming back shows as a crash, a sanitizer report (make check-asan)
// or one of the targets' expectations stopping the program.

namespace {

using Entry = int (*)(const uint8_t*, size_t);

std::vector<std::string> keptInputs(const std::string& target)
{
    const std::filesystem::path folder =
        std::filesystem::path(MORVELUND_SOURCE_DIR) / "tests" / "fuzz_regressions" / "inputs" / target;
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// Replays each kept input in a scratch directory.
void replay(const std::string& target, Entry entry)
{
    const std::vector<std::string> inputs = keptInputs(target);
    ASSERT_FALSE(inputs.empty()) << "no kept inputs for " << target;
    TempDir scratch;
    ScopedChdir inScratch(scratch.path());
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        const std::string bytes = readFileBytes(input);
        EXPECT_EQ(entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
    }
}

} // namespace

TEST(FuzzRegressions, ParticleDefinitionsThatOnceBrokeTheReaderLoadOrFailCleanly)
{
    GLContext gl(64, 64);
    ASSERT_TRUE(gl.ok()) << gl.error();
    replay("particles", fuzz_particle_definition);
}

TEST(FuzzRegressions, XmlTextsThatOnceFooledTheNestingScanAreMeasuredAsTinyXmlBuildsThem)
{
    replay("xml", fuzz_xml_text);
}

TEST(FuzzRegressions, LevelFilesThatOnceBrokeTheLoaderLoadOrFailCleanly)
{
    GLContext gl(64, 64);
    ASSERT_TRUE(gl.ok()) << gl.error();
    replay("level", fuzz_level_files);
}
