// assetgen OUTPUT_DIR [NAME...]: writes the generated assets into OUTPUT_DIR,
// all of them or only the named generators.
#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "Generator.h"

namespace {

std::map<std::string, GeneratorFunction>& registry()
{
    static std::map<std::string, GeneratorFunction> generators;
    return generators;
}

} // namespace

GeneratorRegistration::GeneratorRegistration(const char* name, GeneratorFunction function)
{
    registry()[name] = function;
}

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR [GENERATOR...]\n", argv[0]);
        return 2;
    }
    const AssetWriter writer(argv[1]);
    const std::set<std::string> only(argv + 2, argv + argc);
    bool ok = true;
    for (const auto& [name, generate] : registry()) {
        if (!only.empty() && only.count(name) == 0)
            continue;
        if (!generate(writer)) {
            std::fprintf(stderr, "assetgen: generator %s failed\n", name.c_str());
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
