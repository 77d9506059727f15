#pragma once

#include "AssetWriter.h"

// Each kind of asset is one source file that registers its generator:
//
//   static bool generateFont(const AssetWriter& out) { ... }
//   REGISTER_GENERATOR("font", generateFont);
//
// main() runs every registered generator in name order.
using GeneratorFunction = bool (*)(const AssetWriter& out);

struct GeneratorRegistration {
    GeneratorRegistration(const char* name, GeneratorFunction function);
};

#define REGISTER_GENERATOR(name, function) \
    static const GeneratorRegistration registration_##function(name, function)
