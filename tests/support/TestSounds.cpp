#include "support/TestSounds.h"

#include <algorithm>
#include <cstdlib>

int peakAmplitude(const std::vector<int16_t>& samples)
{
    int peak = 0;
    for (int16_t sample : samples)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    return peak;
}
