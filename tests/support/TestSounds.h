#pragma once

#include <cstdint>
#include <vector>

// The largest sample size of a recording or a sound file, either side of
// zero, in 16-bit steps.
int peakAmplitude(const std::vector<int16_t>& samples);
