// The libFuzzer front of one fuzz target. Each executable compiles this file
// with FUZZ_ENTRY naming its entry point (FuzzTargets.h) and FUZZ_NEEDS_GL
// set when the target sets up GL objects.

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz/FuzzTargets.h"

#if FUZZ_NEEDS_GL
#include "GLContext.h"
#endif

namespace {

std::string scratch;

void removeScratch()
{
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
}

// Packages are written into a private folder so parallel runs stay apart.
void enterScratchFolder()
{
    char pattern[] = "/tmp/morvelund-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0) {
        std::perror("scratch folder");
        std::exit(1);
    }
    scratch = pattern;
    std::atexit(removeScratch);
}

// The game logs every refused input on stdout; millions of lines would only
// slow the run. MORVELUND_FUZZ_LOG=1 keeps them, for replaying one input.
void silenceGameLog()
{
    if (std::getenv("MORVELUND_FUZZ_LOG") != nullptr)
        return;
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
        dup2(null, STDOUT_FILENO);
        close(null);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    enterScratchFolder();
    silenceGameLog();
#if FUZZ_NEEDS_GL
    // One hidden context for the whole process, alive until it exits.
    static GLContext* context = new GLContext(64, 64);
    if (!context->ok()) {
        std::fprintf(stderr, "no GL context: %s\n", context->error());
        std::exit(1);
    }
#endif
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FUZZ_ENTRY(data, size);
}
