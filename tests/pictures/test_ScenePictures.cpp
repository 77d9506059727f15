// The fixed scenes of the frame benchmark drawn by the game as it is now,
// against the reference pictures the drawing code made before it was made
// cheaper (tests/fixtures/pictures, written by `make reference-pictures`).
// Drawing faster must not change what the player sees. A picture that
// differs is written with a map of where it differs under
// <build>/screenshots/pictures/ for a person to look at.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ostream>
#include <cstdlib>
#include <string>
#include <tuple>

#include "OffscreenFrame.h"
#include "SceneGame.h"
#include "ScenePictures.h"
#include "GLContext.h"
#include "support/TempDir.h"

// Test names show the scene by its name.
void PrintTo(Scene scene, std::ostream* out)
{
    *out << sceneName(scene);
}

namespace {

using ScenePictures::Picture;
using ScenePictures::WindowSize;

// A channel may differ by this much: the lit shader reads ready-made relief
// slopes filtered in floating point, where it used to filter the picture's
// 8-bit texels and take the slopes after, so the tilt of a normal, and the
// light with it, rounds differently (by 2 of 255 at the most, seen side by
// side as the same picture).
constexpr int CHANNEL_TOLERANCE = 2;
// Share of the pixels allowed beyond the channel tolerance.
constexpr double MAX_DIFFERING_SHARE = 0.0;

struct Difference {
    long differing = 0;
    int largest = 0;
    Picture map;
};

// Pixels whose largest channel difference exceeds the tolerance, shown
// white on a dimmed copy of the reference.
Difference compare(const Picture& reference, const Picture& drawn)
{
    Difference difference;
    difference.map = reference;
    for (size_t i = 0; i < reference.rgb.size(); i += 3) {
        int pixelLargest = 0;
        for (size_t c = 0; c < 3; ++c)
            pixelLargest = std::max(pixelLargest, std::abs(reference.rgb[i + c] - drawn.rgb[i + c]));
        difference.largest = std::max(difference.largest, pixelLargest);
        const bool differs = pixelLargest > CHANNEL_TOLERANCE;
        difference.differing += differs ? 1 : 0;
        for (size_t c = 0; c < 3; ++c)
            difference.map.rgb[i + c] = differs ? 255 : static_cast<unsigned char>(reference.rgb[i + c] / 4);
    }
    return difference;
}

std::string screenshotFolder()
{
    const std::string binary = MORVELUND_BINARY;
    std::string folder = binary.substr(0, binary.find_last_of('/')) + "/screenshots";
    mkdir(folder.c_str(), 0755);
    folder += "/pictures";
    mkdir(folder.c_str(), 0755);
    return folder;
}

class ScenePicture : public ::testing::TestWithParam<std::tuple<Scene, int>> {};

TEST_P(ScenePicture, MatchesTheReferenceDrawnBeforeTheWorldPassWasMadeCheaper)
{
    const Scene scene = std::get<0>(GetParam());
    const WindowSize size = ScenePictures::SIZES[std::get<1>(GetParam())];
    const std::string name = ScenePictures::fileName(scene, size);
    const std::string package = std::string(MORVELUND_DATA_DIR) + "/data.mv2";
    if (access(package.c_str(), R_OK) != 0)
        GTEST_SKIP() << "no " << package << " (the full build makes it)";
    Picture reference;
    ASSERT_TRUE(ScenePictures::load(std::string(MORVELUND_FIXTURES_DIR) + "/pictures/" + name, &reference))
        << "no reference picture " << name << " (make reference-pictures)";
    ASSERT_EQ(reference.width, size.width);
    ASSERT_EQ(reference.height, size.height);

    GLContext context(ScenePictures::SIZES[0].width, ScenePictures::SIZES[0].height);
    ASSERT_TRUE(context.ok()) << context.error();
    SceneGame::setDrawingState();
    ScopedChdir inData(MORVELUND_DATA_DIR);
    Picture drawn;
    std::string failure;
    ASSERT_TRUE(ScenePictures::render(scene, size, &drawn, &failure)) << failure;

    const Difference difference = compare(reference, drawn);
    const long allowed = static_cast<long>(MAX_DIFFERING_SHARE * static_cast<double>(size.width) * size.height);
    if (difference.differing > allowed) {
        const std::string folder = screenshotFolder();
        ScenePictures::save(folder + "/" + name, drawn);
        ScenePictures::save(folder + "/difference_" + name, difference.map);
    }
    EXPECT_LE(difference.differing, allowed)
        << name << ": " << difference.differing << " pixels differ by more than " << CHANNEL_TOLERANCE
        << ", at most by " << difference.largest << " (pictures under " << screenshotFolder() << ")";
}

std::string caseName(const ::testing::TestParamInfo<std::tuple<Scene, int>>& info)
{
    const WindowSize size = ScenePictures::SIZES[std::get<1>(info.param)];
    return std::string(sceneName(std::get<0>(info.param))) + "_" + std::to_string(size.height);
}

INSTANTIATE_TEST_SUITE_P(FixedScenes, ScenePicture,
                         ::testing::Combine(::testing::ValuesIn(ALL_SCENES), ::testing::Range(0, 2)), caseName);

} // namespace

// The world is lit and shaded only at the texels the pixelate pass samples
// (the stencil of the offscreen frame says which). Drawing every texel
// instead must not change one pixel of the window, at any window size.
class EveryWindowSize : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(EveryWindowSize, ShadingOnlyTheSampledTexelsShowsTheSameWindowAsShadingThemAll)
{
    const WindowSize size = {std::get<0>(GetParam()), std::get<1>(GetParam())};
    const std::string package = std::string(MORVELUND_DATA_DIR) + "/data.mv2";
    if (access(package.c_str(), R_OK) != 0)
        GTEST_SKIP() << "no " << package << " (the full build makes it)";
    GLContext context(ScenePictures::SIZES[0].width, ScenePictures::SIZES[0].height);
    ASSERT_TRUE(context.ok()) << context.error();
    SceneGame::setDrawingState();
    ScopedChdir inData(MORVELUND_DATA_DIR);
    ScenePictures::useWindowSize(size);
    SceneGame game;
    OffscreenFrame frame;
    ASSERT_TRUE(frame.complete());
    ASSERT_TRUE(game.stage(Scene::FIGHT));

    // Both pictures are of frames after the first: the first frame after
    // staging differs from the ones after it in a few places, whatever is
    // shaded.
    game.draw(frame.frameBuffer, frame.texture);
    game.draw(frame.frameBuffer, frame.texture);
    const Picture sampledOnly = ScenePictures::readWindow(size);
    glBindFramebuffer(GL_FRAMEBUFFER, frame.frameBuffer);
    glClearStencil(0xFF);
    glClear(GL_STENCIL_BUFFER_BIT);
    glClearStencil(0);
    game.draw(frame.frameBuffer, frame.texture);
    const Picture everyTexel = ScenePictures::readWindow(size);

    long differing = 0;
    for (size_t i = 0; i < everyTexel.rgb.size(); ++i)
        differing += everyTexel.rgb[i] != sampledOnly.rgb[i] ? 1 : 0;
    EXPECT_EQ(differing, 0) << size.width << "x" << size.height;
}

INSTANTIATE_TEST_SUITE_P(WindowSizes, EveryWindowSize,
                         ::testing::Values(std::make_tuple(1920, 1080), std::make_tuple(1280, 720),
                                           std::make_tuple(1024, 576)));
