#include <gtest/gtest.h>

#include <GL/glew.h>

#include "RenderTestKit.h"
#include "render/TextureManager.h"
#include "GLContext.h"
#include "support/LogCapture.h"
#include "support/TestPackage.h"

namespace {

using colours::RED;
using colours::BLUE;

// Two rows: red on top, blue at the bottom, as the picture file stores them.
std::string redOverBlue()
{
    Picture picture(1, 2, RED);
    picture.set(0, 1, BLUE);
    return encodePng(picture);
}

// Level 0 of a texture, row 0 first (row 0 is texture coordinate t = 0).
std::vector<glm::u8vec4> texels(GLuint texture, int* width = nullptr, int* height = nullptr)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint w = 0;
    GLint h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    std::vector<glm::u8vec4> pixels(static_cast<size_t>(w) * h);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    if (width != nullptr)
        *width = w;
    if (height != nullptr)
        *height = h;
    return pixels;
}

class TextureManagerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(gl.ok()) << gl.error(); }

    GLContext gl{64, 64};
    TextureManager* cache = TextureManager::getInstance();
};

} // namespace

TEST_F(TextureManagerTest, SamePathSharesOneTextureUntilTheLastFree)
{
    TestPackage package(Entries{{"textures/a.png", redOverBlue()}});
    const GLuint first = cache->loadTexture("textures/a.png", true);
    ASSERT_NE(first, 0u);
    EXPECT_EQ(cache->loadTexture("textures/a.png", true), first);

    cache->freeTexture("textures/a.png");
    EXPECT_TRUE(glIsTexture(first)) << "deleted while a holder remains";
    cache->freeTexture("textures/a.png");
    EXPECT_FALSE(glIsTexture(first));

    // Decoded anew after the last free.
    const GLuint again = cache->loadTexture("textures/a.png", true);
    ASSERT_NE(again, 0u);
    EXPECT_TRUE(glIsTexture(again));
    EXPECT_EQ(texels(again)[0], BLUE);
    cache->freeTexture("textures/a.png");
}

TEST_F(TextureManagerTest, TheFirstRequestChoosesTheOrientationForEveryLaterOne)
{
    TestPackage package({{"textures/a.png", redOverBlue()}, {"textures/b.png", redOverBlue()}});
    const GLuint flipped = cache->loadTexture("textures/a.png", true);
    // Flipped: the picture's bottom row becomes t = 0, so it shows upright.
    EXPECT_EQ(texels(flipped)[0], BLUE);
    EXPECT_EQ(texels(flipped)[1], RED);
    EXPECT_EQ(cache->loadTexture("textures/a.png", false), flipped);
    EXPECT_EQ(texels(flipped)[0], BLUE);

    const GLuint unflipped = cache->loadTexture("textures/b.png", false);
    EXPECT_EQ(texels(unflipped)[0], RED);
    EXPECT_EQ(texels(unflipped)[1], BLUE);

    cache->freeTexture("textures/a.png");
    cache->freeTexture("textures/a.png");
    cache->freeTexture("textures/b.png");
}

TEST_F(TextureManagerTest, EveryPictureFormatBecomesRgbaWithMipmapsAndRepeatWrapping)
{
    Picture picture(4, 4, glm::u8vec4(200, 100, 50, 255));
    Picture grey(4, 4, glm::u8vec4(90, 90, 90, 255));
    TestPackage package({{"grey.png", encodePng(grey, 1)},
                         {"rgb.png", encodePng(picture, 3)},
                         {"picture.bmp", encodeBmp(picture)},
                         {"picture.jpg", encodeJpeg(picture)}});
    const glm::u8vec4 opaqueColour(200, 100, 50, 255);
    const std::vector<std::pair<std::string, glm::u8vec4>> expected = {{"grey.png", glm::u8vec4(90, 90, 90, 255)},
                                                                       {"rgb.png", opaqueColour},
                                                                       {"picture.bmp", opaqueColour},
                                                                       {"picture.jpg", opaqueColour}};
    for (const auto& [path, colour] : expected) {
        SCOPED_TRACE(path);
        const GLuint texture = cache->loadTexture(path, true);
        ASSERT_NE(texture, 0u);
        int width = 0;
        int height = 0;
        const std::vector<glm::u8vec4> pixels = texels(texture, &width, &height);
        EXPECT_EQ(width, 4);
        EXPECT_EQ(height, 4);
        EXPECT_TRUE(near(pixels[5], colour, 4)) << int(pixels[5].r) << "," << int(pixels[5].g) << ","
                                                << int(pixels[5].b) << "," << int(pixels[5].a);

        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
        EXPECT_EQ(value, GL_REPEAT);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
        EXPECT_EQ(value, GL_REPEAT);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
        EXPECT_EQ(value, GL_LINEAR);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &value);
        EXPECT_EQ(value, 1) << "mipmap chain missing";
        cache->freeTexture(path);
    }
}

TEST_F(TextureManagerTest, FailuresAreLoggedReturnZeroAndAreTriedAgain)
{
    TestPackage package(Entries{{"textures/garbage.png", "this is not a picture"}});
    LogCapture log;
    EXPECT_EQ(cache->loadTexture("textures/missing.png", true), 0u);
    EXPECT_EQ(cache->loadTexture("textures/missing.png", true), 0u);
    EXPECT_EQ(cache->loadTexture("textures/garbage.png", true), 0u);
    EXPECT_EQ(log.count("] Failed to load package data for textures/missing.png"), 2);
    EXPECT_EQ(log.count("] Failed to load image data (textures/garbage.png)"), 1);
}

TEST_F(TextureManagerTest, FreeingWhatIsNotHeldIsSilentAndHarmless)
{
    TestPackage package(Entries{{"textures/a.png", redOverBlue()}});
    const GLuint texture = cache->loadTexture("textures/a.png", true);
    LogCapture log;
    cache->freeTexture("textures/never_loaded.png");
    cache->freeTexture("textures/a.png");
    cache->freeTexture("textures/a.png");
    EXPECT_EQ(log.text(), "");
    EXPECT_FALSE(glIsTexture(texture));
}
