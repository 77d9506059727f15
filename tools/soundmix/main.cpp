// Plays fixed stretches of the game's sound through the game's own sound
// system, from the package in the working directory, in real time; or
// measures how loud a recording of them came out. Point openal-soft at its
// wave backend (ALSOFT_CONF) to record what plays; scripts/loudness does.
//
//   soundmix SCENE        menu, town, fight, or pileup: the loudest loop and
//                         the eight loudest effects started at one instant
//   soundmix --measure WAV...
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "Loudness.h"
#include "SoundScenes.h"
#include "audio/SoundSystem.h"
#include "audio/WavLoader.h"
#include "core/AssetList.h"
#include "core/MailBox.h"
#include "core/PackageManager.h"

namespace {

const char* const PACKAGE = "data.mv2";

// The largest sample of a package sound, 0 when it cannot be read.
int peakOf(const std::string& path)
{
    unsigned length = 0;
    void* file = PackageManager::getInstance()->load(PACKAGE, path, &length);
    if (file == nullptr)
        return 0;
    uint32_t size = 0;
    int16_t* samples = static_cast<int16_t*>(WavLoader::loadRawDataFromWav(file, length, &size));
    std::free(file);
    int peak = 0;
    for (uint32_t i = 0; samples != nullptr && i < size / 2; ++i)
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    std::free(samples);
    return peak;
}

bool isLoop(const std::string& path)
{
    return path.find("_background.wav") != std::string::npos;
}

// The worst cases the sound system allows, over the loop of the highest
// peak: the eight effects of the highest peaks started together on every
// source, then, once they are over, the loudest of them on all eight sources
// at once, so that eight peaks land on one instant.
SoundScene pileUp()
{
    SoundScene scene{"pileup", "", 5.5f, {}};
    int loudestLoop = -1;
    for (const std::string& path : getAssetList()) {
        const int peak = isLoop(path) ? peakOf(path) : -1;
        if (peak > loudestLoop) {
            loudestLoop = peak;
            scene.loop = path;
        }
    }
    std::vector<game_sound> effects;
    std::vector<int> peaks;
    for (int id = 0; id < GAME_SOUND_COUNT; ++id) {
        effects.push_back(static_cast<game_sound>(id));
        peaks.push_back(peakOf(sSounds[id]));
    }
    std::stable_sort(effects.begin(), effects.end(), [&peaks](game_sound a, game_sound b) { return peaks[a] > peaks[b]; });
    for (int i = 0; i < SoundSystem::SOURCE_COUNT; ++i)
        scene.cues.push_back({0.5f, effects[i]});
    for (int i = 0; i < SoundSystem::SOURCE_COUNT; ++i)
        scene.cues.push_back({3.0f, effects[0]});
    return scene;
}

bool play(const SoundScene& scene)
{
    SoundSystem* sound = new SoundSystem(true);
    bool ok = sound->setup() && sound->startContinousSound(scene.loop);
    const auto start = std::chrono::steady_clock::now();
    const auto at = [start](float seconds) {
        return start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<float>(seconds));
    };
    for (const SoundCue& cue : scene.cues) {
        if (!ok)
            break;
        std::this_thread::sleep_until(at(cue.at));
        ok = sound->play(cue.sound, false);
    }
    if (ok)
        std::this_thread::sleep_until(at(scene.seconds));
    sound->stopContinousSound();
    MailBox::getInstance()->removeReceiver(sound);
    // Closing the device finishes the recording.
    delete sound;
    return ok;
}

int measure(int count, char** paths)
{
    int status = 0;
    for (int i = 0; i < count; ++i) {
        const Loudness loudness = Loudness::ofWavFile(paths[i]);
        if (!loudness.ok) {
            std::fprintf(stderr, "%s: %s\n", paths[i], loudness.error.c_str());
            status = 1;
            continue;
        }
        std::printf("%s: %.1f LUFS integrated, sample peak %.1f dBFS, true peak %.1f dBTP, %zu samples at full scale, "
                    "%zu past it, at most %zu in a row (%.1f s, %u channels, %s)\n",
                    paths[i], loudness.integratedLufs, decibels(loudness.samplePeak), decibels(loudness.truePeak),
                    loudness.fullScaleSamples, loudness.pastFullScaleSamples, loudness.longestFullScaleRun,
                    loudness.seconds, loudness.channels,
                    loudness.floatSamples ? "float" : "16-bit");
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "--measure") == 0)
        return measure(argc - 2, argv + 2);
    SoundScene scene;
    if (argc == 2 && std::strcmp(argv[1], "pileup") == 0)
        scene = pileUp();
    else if (argc != 2 || !findSoundScene(argv[1], &scene)) {
        std::fprintf(stderr, "usage: soundmix menu|town|fight|pileup\n       soundmix --measure WAV...\n");
        return 2;
    }
    return play(scene) ? 0 : 1;
}
