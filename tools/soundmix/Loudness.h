#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The sample format of a recording, as its WAV file gives it.
struct WavFormat {
    unsigned channels = 0;
    unsigned rate = 0;
    // 32-bit float samples; 16-bit integer ones otherwise.
    bool floatSamples = false;
};

// The samples of a WAV file as openal-soft's wave backend writes it: 16-bit
// integer or 32-bit float, any number of channels, plain or extensible
// format. A recording whose device is still open has an unfinished data
// size; it is read to the end of the file.
struct WavSamples : WavFormat {
    bool ok = false;
    // Why the file could not be read, when !ok.
    std::string error;
    // Fractions of full scale, channels interleaved.
    std::vector<float> samples;

    static WavSamples read(const std::string& path);
};

// How loud a recording of the game's output is, in the terms a mix is judged
// by: EBU R128 integrated loudness (libebur128), the highest sample and the
// highest true (inter-sample) peak, and how many samples touch or pass full
// scale. Reads what WavSamples reads.
struct Loudness : WavFormat {
    bool ok = false;
    // Why the file could not be measured, when !ok.
    std::string error;
    double seconds = 0.0;
    // LUFS; minus infinity for silence.
    double integratedLufs = 0.0;
    // Fractions of full scale, over every channel.
    double samplePeak = 0.0;
    double truePeak = 0.0;
    // Samples at full scale or beyond (16-bit: at either end of the range).
    size_t fullScaleSamples = 0;
    // Samples beyond full scale; only float output can hold them.
    size_t pastFullScaleSamples = 0;
    // The most samples in a row, in one channel, at full scale or beyond.
    // Clipping flattens a waveform's tops into long runs there, in either
    // sample type; a limiter touches full scale for a sample or two at most.
    size_t longestFullScaleRun = 0;

    static Loudness ofWavFile(const std::string& path);
};

// 20 log10 of a fraction of full scale.
double decibels(double fraction);
