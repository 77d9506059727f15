#pragma once

#include "support/TestPictures.h"

// Shared by the HUD element tests: a window-sized GL fixture whose package
// holds the game's screen-space shaders and solid-colour pictures, and a
// camera that hands out the window's orthographic matrix.

#include <map>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <glm/glm.hpp>

#include "game/ValueProvider.h"
#include "render/MatrixOwner.h"
#include "GLContext.h"
#include "support/TestPackage.h"

const int HUD_VIEW_WIDTH = 160;
const int HUD_VIEW_HEIGHT = 120;

// Pictures in the test package, each one flat colour (RGBA).
extern const char* const RED_PICTURE;        // opaque red
extern const char* const HALF_RED_PICTURE;   // red at alpha 128
extern const char* const HALF_BLUE_PICTURE;  // blue at alpha 128
extern const char* const CLEAR_PICTURE;      // fully transparent
extern const char* const FONT_PICTURE;       // "textures/font.png", opaque white

// Answers a settable number and remembers the id it was asked for.
class FakeValueProvider : public ValueProvider {
public:
    float value = 0.0f;
    int askedId = -1;

    float getValue(int id) override
    {
        askedId = id;
        return value;
    }
    float getMaxValue(int) override { return 0.0f; }
    float getAbsoluteValue(int) override { return 0.0f; }
};

// One hidden window per test suite; every test gets the package as its
// working directory and a black frame to draw into.
class HudTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    glm::u8vec4 pixel(int x, int y) const { return context->readPixel(x, y); }

    static GLContext* context;
    std::unique_ptr<TestPackage> package;
    ScreenCamera camera{HUD_VIEW_WIDTH, HUD_VIEW_HEIGHT};
};

// True when two colours differ by at most 3 in every channel.
bool closeTo(const glm::u8vec4& actual, const glm::u8vec4& expected);
