#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace synth {

namespace {

constexpr float NYQUIST_LIMIT = 0.45f * SAMPLE_RATE;
// Even a hard strike takes a moment; a partial at full strength from its
// first sample is heard as a click.
constexpr float BELL_STRIKE_SECONDS = 0.002f;

// Smooths the discontinuity of a naive saw or square across one sample.
float polyBlep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return static_cast<float>(t + t - t * t - 1.0);
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return static_cast<float>(t * t + t + t + 1.0);
    }
    return 0.0f;
}

float waveAt(Wave wave, double phase, double dt)
{
    switch (wave) {
    case Wave::Sine:
        return static_cast<float>(std::sin(2.0 * M_PI * phase));
    case Wave::Triangle:
        return static_cast<float>(phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase);
    case Wave::Saw:
        return static_cast<float>(2.0 * phase - 1.0) - polyBlep(phase, dt);
    case Wave::Square: {
        const double shifted = std::fmod(phase + 0.5, 1.0);
        return (phase < 0.5 ? 1.0f : -1.0f) + polyBlep(phase, dt) - polyBlep(shifted, dt);
    }
    }
    return 0.0f;
}

float clampCutoff(float hz)
{
    return std::clamp(hz, 10.0f, NYQUIST_LIMIT);
}

// Topology-preserving state-variable filter, stable under fast modulation.
class StateVariableFilter {
public:
    float process(float x, FilterMode mode, float cutoff, float q)
    {
        const float g = std::tan(PI * clampCutoff(cutoff) / SAMPLE_RATE);
        const float k = 1.0f / std::max(q, 0.1f);
        const float a1 = 1.0f / (1.0f + g * (g + k));
        const float a2 = g * a1;
        const float a3 = g * a2;
        const float v3 = x - ic2;
        const float v1 = a1 * ic1 + a2 * v3;
        const float v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0f * v1 - ic1;
        ic2 = 2.0f * v2 - ic2;
        switch (mode) {
        case FilterMode::Low:
            return v2;
        case FilterMode::Band:
            return k * v1;  // unity gain at the centre, whatever the q
        case FilterMode::High:
            return x - k * v1 - v2;
        }
        return v2;
    }

private:
    float ic1 = 0.0f;
    float ic2 = 0.0f;
};

class Comb {
public:
    explicit Comb(size_t length) : line(length, 0.0f) {}
    float process(float x, float feedback, float damping)
    {
        const float out = line[index];
        store = out * (1.0f - damping) + store * damping;
        line[index] = x + store * feedback;
        index = (index + 1) % line.size();
        return out;
    }

private:
    std::vector<float> line;
    size_t index = 0;
    float store = 0.0f;
};

class AllPass {
public:
    explicit AllPass(size_t length) : line(length, 0.0f) {}
    float process(float x)
    {
        const float delayed = line[index];
        line[index] = x + delayed * 0.5f;
        index = (index + 1) % line.size();
        return delayed - x;
    }

private:
    std::vector<float> line;
    size_t index = 0;
};

float formant(const Vowel& vowel, int index)
{
    return index == 0 ? vowel.f1 : index == 1 ? vowel.f2 : vowel.f3;
}

} // namespace

size_t samplesFor(float seconds)
{
    return static_cast<size_t>(std::lround(std::max(seconds, 0.0f) * SAMPLE_RATE));
}

Random::Random(uint64_t seed)
{
    uint64_t z = seed + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    state = (z ^ (z >> 31)) | 1u;
}

uint32_t Random::next()
{
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return static_cast<uint32_t>((state * 0x2545F4914F6CDD1Dull) >> 32);
}

float Random::uniform()
{
    return static_cast<float>(next() >> 8) / 16777216.0f;
}

float Random::range(float low, float high)
{
    return low + (high - low) * uniform();
}

Curve::Curve(float constant) : points{{0.0f, constant}}, exponential(false) {}

Curve::Curve(std::vector<std::pair<float, float>> breakpoints, bool exponentialCurve)
    : points(std::move(breakpoints)), exponential(exponentialCurve)
{
}

float Curve::at(float t) const
{
    if (t <= points.front().first)
        return points.front().second;
    for (size_t i = 1; i < points.size(); ++i) {
        const auto& [t1, v1] = points[i];
        if (t > t1)
            continue;
        const auto& [t0, v0] = points[i - 1];
        const float u = t1 > t0 ? (t - t0) / (t1 - t0) : 1.0f;
        if (exponential)
            return v0 * std::pow(v1 / v0, u);
        return v0 + (v1 - v0) * u;
    }
    return points.back().second;
}

Buffer Curve::render(size_t count) const
{
    Buffer out(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = at(static_cast<float>(i) / SAMPLE_RATE);
    return out;
}

Buffer oscillator(const Buffer& frequency, Wave wave, float phase)
{
    Buffer out(frequency.size());
    double p = phase - std::floor(phase);
    for (size_t i = 0; i < frequency.size(); ++i) {
        const double dt = std::min(std::fabs(frequency[i]) / static_cast<double>(SAMPLE_RATE), 0.5);
        out[i] = waveAt(wave, p, std::max(dt, 1e-9));
        p += frequency[i] / static_cast<double>(SAMPLE_RATE);
        p -= std::floor(p);
    }
    return out;
}

Buffer oscillator(size_t count, float frequency, Wave wave, float phase)
{
    return oscillator(Buffer(count, frequency), wave, phase);
}

Buffer fm(const Buffer& frequency, float ratio, const Buffer& index)
{
    Buffer out(frequency.size());
    double carrier = 0.0;
    double modulator = 0.0;
    for (size_t i = 0; i < frequency.size(); ++i) {
        const double m = std::sin(2.0 * M_PI * modulator);
        out[i] = static_cast<float>(std::sin(2.0 * M_PI * carrier + index[i] * m));
        carrier += frequency[i] / static_cast<double>(SAMPLE_RATE);
        modulator += ratio * frequency[i] / static_cast<double>(SAMPLE_RATE);
        carrier -= std::floor(carrier);
        modulator -= std::floor(modulator);
    }
    return out;
}

Buffer noise(size_t count, Random& random)
{
    Buffer out(count);
    for (float& sample : out)
        sample = random.bipolar();
    return out;
}

Buffer vibrato(size_t count, float rate, float depth, float drift, Random& random)
{
    Buffer out(count);
    const size_t hold = SAMPLE_RATE / 12;
    const float glide = 1.0f - std::exp(-12.0f / SAMPLE_RATE * 4.0f);
    float target = random.bipolar();
    float wander = 0.0f;
    for (size_t i = 0; i < count; ++i) {
        if (i % hold == 0)
            target = random.bipolar();
        wander += (target - wander) * glide;
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        out[i] = 1.0f + depth * std::sin(2.0f * PI * rate * t) + drift * wander;
    }
    return out;
}

Buffer filter(const Buffer& in, FilterMode mode, const Buffer& cutoff, float q)
{
    StateVariableFilter svf;
    Buffer out(in.size());
    for (size_t i = 0; i < in.size(); ++i)
        out[i] = svf.process(in[i], mode, cutoff[std::min(i, cutoff.size() - 1)], q);
    return out;
}

Buffer filter(const Buffer& in, FilterMode mode, float cutoff, float q)
{
    return filter(in, mode, Buffer(1, cutoff), q);
}

Buffer onePoleLow(const Buffer& in, float cutoff)
{
    const float a = 1.0f - std::exp(-2.0f * PI * clampCutoff(cutoff) / SAMPLE_RATE);
    Buffer out(in.size());
    float state = 0.0f;
    for (size_t i = 0; i < in.size(); ++i) {
        state += a * (in[i] - state);
        out[i] = state;
    }
    return out;
}

Buffer onePoleHigh(const Buffer& in, float cutoff)
{
    Buffer out = onePoleLow(in, cutoff);
    for (size_t i = 0; i < in.size(); ++i)
        out[i] = in[i] - out[i];
    return out;
}

Buffer voice(const VoiceSpec& spec, Random& random)
{
    const size_t count = spec.pitch.size();
    const Buffer buzz = oscillator(spec.pitch, Wave::Saw);
    Buffer half = spec.pitch;
    multiply(half, 0.5f);
    const Buffer subharmonic = oscillator(half, Wave::Sine);
    Buffer source(count);
    for (size_t i = 0; i < count; ++i) {
        const float rough = 1.0f - spec.growl * 0.5f * (1.0f + subharmonic[i]);
        source[i] = buzz[i] * rough + spec.breath * random.bipolar();
    }
    const float gains[3] = {1.0f, 0.6f, 0.3f};
    const float bandwidths[3] = {90.0f, 110.0f, 150.0f};
    Buffer out(count, 0.0f);
    for (int f = 0; f < 3; ++f) {
        const float from = formant(spec.from, f) * spec.tract;
        const float to = formant(spec.to, f) * spec.tract;
        Buffer centre(count);
        for (size_t i = 0; i < count; ++i) {
            const float m = spec.morph.empty() ? 0.0f : spec.morph[std::min(i, spec.morph.size() - 1)];
            centre[i] = from + (to - from) * m;
        }
        const float q = 0.5f * (from + to) / bandwidths[f];
        add(out, filter(source, FilterMode::Band, centre, q), gains[f]);
    }
    return out;
}

Buffer pluck(float frequency, float seconds, float brightness, float sustain, Random& random)
{
    // Loop delay = whole samples + all-pass fraction + half a sample of the averager.
    const float period = SAMPLE_RATE / frequency - 0.5f;
    size_t length = static_cast<size_t>(std::floor(period));
    float fraction = period - static_cast<float>(length);
    if (fraction < 0.1f && length > 2) {
        length -= 1;
        fraction += 1.0f;
    }
    const float c = (1.0f - fraction) / (1.0f + fraction);
    Buffer line = filter(noise(length, random), FilterMode::Low, 200.0f + brightness * 3000.0f, 0.7f);
    // The loop keeps whatever offset it starts with; take it out up front.
    float offset = 0.0f;
    for (float sample : line)
        offset += sample / static_cast<float>(length);
    for (float& sample : line)
        sample -= offset;
    Buffer out(samplesFor(seconds));
    size_t index = 0;
    float previous = 0.0f;
    float apIn = 0.0f;
    float apOut = 0.0f;
    for (float& sample : out) {
        const float delayed = line[index];
        const float averaged = sustain * 0.5f * (delayed + previous);
        previous = delayed;
        apOut = c * averaged + apIn - c * apOut;
        apIn = averaged;
        line[index] = apOut;
        index = (index + 1) % length;
        sample = delayed;
    }
    return out;
}

Buffer bell(float frequency, float seconds, const std::vector<float>& ratios, float decay)
{
    Buffer out(samplesFor(seconds), 0.0f);
    for (size_t k = 0; k < ratios.size(); ++k) {
        const float f = frequency * ratios[k];
        if (f >= NYQUIST_LIMIT)
            continue;
        const float amplitude = 1.0f / (1.0f + static_cast<float>(k));
        const float rate = decay * (0.6f + 0.4f * ratios[k]);
        for (size_t i = 0; i < out.size(); ++i) {
            const float t = static_cast<float>(i) / SAMPLE_RATE;
            const float strike = std::min(1.0f, t / BELL_STRIKE_SECONDS);
            out[i] += amplitude * strike * std::exp(-rate * t) * std::sin(2.0f * PI * f * t);
        }
    }
    return out;
}

Buffer whoosh(float seconds, const Curve& centre, float q, const Curve& envelope, Random& random)
{
    const size_t count = samplesFor(seconds);
    Buffer out = filter(noise(count, random), FilterMode::Band, centre.render(count), q);
    applyEnvelope(out, envelope);
    return out;
}

Buffer thump(float seconds, float from, float to, float decay)
{
    Buffer out = oscillator(Curve({{0.0f, from}, {decay, to}}, true).render(samplesFor(seconds)), Wave::Sine);
    applyEnvelope(out, Curve({{0.0f, 0.0f}, {0.003f, 1.0f}, {decay, 0.25f}, {seconds, 0.001f}}, false));
    return out;
}

Buffer crackle(size_t count, float density, float grainSeconds, Random& random)
{
    Buffer out(count, 0.0f);
    const float chance = density / SAMPLE_RATE;
    const float fall = std::exp(-1.0f / (grainSeconds * SAMPLE_RATE));
    float level = 0.0f;
    for (float& sample : out) {
        if (random.uniform() < chance)
            level = std::max(level, random.range(0.3f, 1.0f));
        sample = level;
        level *= fall;
    }
    return out;
}

Buffer brass(float frequency, float seconds, Random& random)
{
    const size_t count = samplesFor(seconds);
    const Curve loudness({{0.0f, 0.0f}, {0.04f, 1.0f}, {0.12f, 0.75f}, {seconds - 0.08f, 0.6f}, {seconds, 0.0f}});
    Buffer pitch = vibrato(count, 5.0f, 0.004f, 0.002f, random);
    multiply(pitch, frequency);
    const Buffer tone = oscillator(pitch, Wave::Saw);
    Buffer cutoff(count);
    for (size_t i = 0; i < count; ++i)
        cutoff[i] = frequency * (1.0f + 5.0f * loudness.at(static_cast<float>(i) / SAMPLE_RATE));
    Buffer out = filter(tone, FilterMode::Low, cutoff, 0.9f);
    applyEnvelope(out, loudness);
    return out;
}

void reverb(Buffer& signal, float size, float damping, float wet)
{
    // Freeverb's tunings, scaled from 44.1 kHz down to this rate.
    static const size_t combLengths[] = {279, 297, 319, 339, 355, 372, 389, 404};
    static const size_t allPassLengths[] = {139, 110, 85, 56};
    std::vector<Comb> combs;
    for (size_t length : combLengths)
        combs.emplace_back(length);
    std::vector<AllPass> allPasses;
    for (size_t length : allPassLengths)
        allPasses.emplace_back(length);
    const float feedback = 0.7f + 0.28f * std::clamp(size, 0.0f, 1.0f);
    for (float& sample : signal) {
        const float in = sample * 0.015f;
        float room = 0.0f;
        for (Comb& comb : combs)
            room += comb.process(in, feedback, damping);
        for (AllPass& allPass : allPasses)
            room = allPass.process(room);
        sample = sample * (1.0f - wet) + room * 3.0f * wet;
    }
}

void distort(Buffer& signal, float drive)
{
    const float makeUp = 1.0f / std::tanh(drive);
    for (float& sample : signal)
        sample = std::tanh(sample * drive) * makeUp;
}

void multiply(Buffer& signal, const Buffer& by)
{
    for (size_t i = 0; i < signal.size() && i < by.size(); ++i)
        signal[i] *= by[i];
}

void multiply(Buffer& signal, float by)
{
    for (float& sample : signal)
        sample *= by;
}

void add(Buffer& into, const Buffer& signal, float gain, size_t offset)
{
    if (into.size() < offset + signal.size())
        into.resize(offset + signal.size(), 0.0f);
    for (size_t i = 0; i < signal.size(); ++i)
        into[offset + i] += signal[i] * gain;
}

void applyEnvelope(Buffer& signal, const Curve& envelope)
{
    for (size_t i = 0; i < signal.size(); ++i)
        signal[i] *= envelope.at(static_cast<float>(i) / SAMPLE_RATE);
}

void fadeEdges(Buffer& signal, float inSeconds, float outSeconds)
{
    const size_t fadeIn = std::min(samplesFor(inSeconds), signal.size());
    const size_t fadeOut = std::min(samplesFor(outSeconds), signal.size());
    for (size_t i = 0; i < fadeIn; ++i)
        signal[i] *= static_cast<float>(i) / fadeIn;
    for (size_t i = 0; i < fadeOut; ++i)
        signal[signal.size() - 1 - i] *= static_cast<float>(i) / fadeOut;
}

float peakOf(const Buffer& signal)
{
    float peak = 0.0f;
    for (float sample : signal)
        peak = std::max(peak, std::fabs(sample));
    return peak;
}

float rmsOf(const Buffer& signal)
{
    double sum = 0.0;
    for (float sample : signal)
        sum += static_cast<double>(sample) * sample;
    return signal.empty() ? 0.0f : static_cast<float>(std::sqrt(sum / signal.size()));
}

std::vector<int16_t> toPcm(const Buffer& signal)
{
    std::vector<int16_t> pcm(signal.size());
    for (size_t i = 0; i < signal.size(); ++i)
        pcm[i] = static_cast<int16_t>(std::lround(std::clamp(signal[i], -1.0f, 1.0f) * 32767.0f));
    return pcm;
}

bool writeRecipes(const AssetWriter& out, const std::vector<Recipe>& recipes, const Mastering& mastering)
{
    bool ok = true;
    for (const Recipe& recipe : recipes) {
        Buffer sound = recipe.make();
        if (mastering.highPassHz > 0.0f)
            sound = onePoleHigh(sound, mastering.highPassHz);
        fadeEdges(sound, mastering.fadeSeconds * 0.1f, mastering.fadeSeconds);
        const float peak = peakOf(sound);
        if (peak > 0.0f) {
            float gain = std::pow(10.0f, mastering.peakDb / 20.0f) / peak;
            if (mastering.rmsDb < 0.0f)
                gain = std::min(gain, std::pow(10.0f, mastering.rmsDb / 20.0f) / rmsOf(sound));
            multiply(sound, gain);
        }
        if (!out.writeWav(recipe.path, toPcm(sound))) {
            std::fprintf(stderr, "assetgen: failed to write %s\n", recipe.path);
            ok = false;
        }
    }
    return ok;
}

} // namespace synth
