// Writes the reference pictures of the fixed scenes: every scene at every
// kept window size, or at the sizes named, as <scene>_<width>x<height>.png
// into the folder given. Run from the game's data directory on an X display
// (`make reference-pictures` does both).
// usage: scenepictures FOLDER [WIDTHxHEIGHT ...]
#include <cstdio>
#include <string>
#include <vector>

#include "SceneWindow.h"
#include "ScenePictures.h"
#include "core/FileReader.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [WIDTHxHEIGHT ...]\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    std::vector<ScenePictures::WindowSize> sizes;
    for (int i = 2; i < argc; ++i) {
        ScenePictures::WindowSize size = {};
        if (!ScenePictures::parseSize(argv[i], &size)) {
            std::fprintf(stderr, "not a kept window size: %s\n", argv[i]);
            return 2;
        }
        sizes.push_back(size);
    }
    if (sizes.empty())
        sizes.assign(std::begin(ScenePictures::SIZES), std::end(ScenePictures::SIZES));
    if (!FileReader::file_exists("data.mv2")) {
        std::fprintf(stderr, "No data.mv2 here; run from the game's data directory after a full build.\n");
        return 1;
    }
    SceneWindow window;
    if (!window.ok()) {
        std::fprintf(stderr, "No GL 3.3 core context (is DISPLAY set?): %s\n", window.error());
        return 1;
    }
    for (const ScenePictures::WindowSize& size : sizes) {
        for (Scene scene : ALL_SCENES) {
            ScenePictures::Picture picture;
            std::string failure;
            const std::string path = folder + "/" + ScenePictures::fileName(scene, size);
            if (!ScenePictures::render(scene, size, &picture, &failure) || !ScenePictures::save(path, picture)) {
                std::fprintf(stderr, "%s: %s\n", path.c_str(), failure.empty() ? "not written" : failure.c_str());
                return 1;
            }
            std::fprintf(stderr, "wrote %s\n", path.c_str());
        }
    }
    return 0;
}
