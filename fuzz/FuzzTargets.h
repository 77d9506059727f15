#pragma once

#include <cstddef>
#include <cstdint>

// The entry points of the fuzzers. Each takes one input, hands it to one of
// the game's readers the way the game would, and returns 0. The libFuzzer
// executables call them from LLVMFuzzerTestOneInput; the regression suite
// under tests/fuzz_regressions replays the inputs that once broke a reader
// through the very same functions.
//
// Those that read from a package write "data.mv2" into the current working
// directory, so callers run them inside a scratch directory. The particle and
// level targets set up GL objects and need a current GL 3.3 context.

// The whole input as data.mv2: the header and table readers, every entry the
// table names, the stored and the computed checksum.
int fuzz_package_readers(const uint8_t* data, size_t size);
// The input as the bytes of a WAV entry.
int fuzz_wav_reader(const uint8_t* data, size_t size);
// The first four bytes as an item code (little-endian); the rest, if any,
// as the arguments of a generated code.
int fuzz_item_code(const uint8_t* data, size_t size);
// The input as XML text: the nesting guard against what TinyXML builds.
int fuzz_xml_text(const uint8_t* data, size_t size);
// The input as a particle definition file, set up and simulated.
int fuzz_particle_definition(const uint8_t* data, size_t size);
// A level file, LEVEL_BITMAP_SEPARATOR, then the bytes of its bitmap, stored
// as FUZZ_LEVEL_XML and FUZZ_LEVEL_BITMAP; the level is set up and queried.
int fuzz_level_files(const uint8_t* data, size_t size);

extern const char* const LEVEL_BITMAP_SEPARATOR;
extern const char* const FUZZ_LEVEL_XML;
extern const char* const FUZZ_LEVEL_BITMAP;
