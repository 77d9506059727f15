#include <gtest/gtest.h>

#include <GL/glew.h>

#include "RenderTestKit.h"
#include "render/Camera.h"
#include "render/Text.h"
#include "GLContext.h"
#include "support/TestPackage.h"

namespace {

const char* FONT = "textures/testfont.png";
using colours::RED;
using colours::GREEN;
using colours::BLUE;
using colours::WHITE;
using colours::BLACK;
const glm::vec3 NO_TINT(1.0f, 1.0f, 1.0f);

// Paints one 35 x 54 atlas cell (column c, row r counted from the top).
void paintCell(Picture& atlas, int column, int row, const glm::u8vec4& upper, const glm::u8vec4& lower)
{
    for (int y = 0; y < 54; ++y) {
        for (int x = 0; x < 35; ++x)
            atlas.set(43 * column + x, 87 * row + y, y < 27 ? upper : lower);
    }
}

// A font whose "0" is red over blue, "A" green, "B" blue and "%" white;
// every other cell and the gaps are transparent.
std::string testFont()
{
    Picture atlas(512, 512, glm::u8vec4(0, 0, 0, 0));
    paintCell(atlas, 0, 0, RED, BLUE);
    paintCell(atlas, 10, 0, GREEN, GREEN);
    paintCell(atlas, 0, 1, BLUE, BLUE);
    paintCell(atlas, 10, 3, WHITE, WHITE);
    return encodePng(atlas);
}

glm::vec2 uvOf(const Text& text, int vertex)
{
    const float* v = text.getVertexData() + vertex * 4;
    return glm::vec2(v[2], v[3]);
}

glm::vec2 positionOf(const Text& text, int vertex)
{
    const float* v = text.getVertexData() + vertex * 4;
    return glm::vec2(v[0], v[1]);
}

class TextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gl.ok()) << gl.error();
        gl.clear();
    }

    // Colour in the middle of character 'index' of a text drawn at (10, 10)
    // at scale 1; 'upper' picks the upper or lower half of the glyph.
    glm::u8vec4 glyphColour(int index, bool upper = true) const
    {
        return gl.readPixel(10 + 45 * index + 17, upper ? 50 : 20);
    }

    GLContext gl{400, 100};
    Camera camera{glm::vec3(0.0f, 0.0f, 10.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f), 400.0f, 100.0f};
    TestPackage package{[] {
        Entries entries = gameShaderEntries();
        entries[FONT] = testFont();
        return entries;
    }()};
};

} // namespace

TEST(TextAtlas, CharactersMapToTheirCellsAndUnknownBytesToZero)
{
    const auto expectCell = [](char c, int column, int row) {
        const Text::CharBounds cell = Text::getCharBounds(c);
        EXPECT_FLOAT_EQ(cell.left, 43.0f * column / 512.0f) << c;
        EXPECT_FLOAT_EQ(cell.right, (43.0f * column + 35.0f) / 512.0f) << c;
        EXPECT_FLOAT_EQ(cell.top, 87.0f * row / 512.0f) << c;
        EXPECT_FLOAT_EQ(cell.bottom, (87.0f * row + 54.0f) / 512.0f) << c;
    };
    expectCell('0', 0, 0);
    expectCell('9', 9, 0);
    expectCell('A', 10, 0);
    expectCell('B', 0, 1);
    expectCell('L', 10, 1);
    expectCell('M', 0, 2);
    expectCell('W', 10, 2);
    expectCell('X', 0, 3);
    expectCell('.', 3, 3);
    expectCell(':', 4, 3);
    expectCell('/', 5, 3);
    expectCell('?', 6, 3);
    expectCell('-', 7, 3);
    expectCell('+', 8, 3);
    expectCell('!', 9, 3);
    expectCell('%', 10, 3);
    // The apostrophe of possessive names has a cell of its own below the signs.
    expectCell('\'', 0, 4);
    expectCell('"', 0, 0);
    expectCell('`', 0, 0);
    expectCell('q', 4, 2);
    expectCell('#', 0, 0);
    expectCell(static_cast<char>(200), 0, 0);
    expectCell(static_cast<char>(0xE4), 0, 0);

    const Text::CharBounds space = Text::getCharBounds(' ');
    EXPECT_EQ(space.top + space.bottom + space.left + space.right, 0.0f);
}

TEST(TextLayout, ConstructionKeepsAPrivateCopyAndMakesNoVertices)
{
    char source[] = "ab 1";
    Text text(100.0f, 50.0f, source, 2.0f, NO_TINT, FONT);
    source[0] = 'Z';
    EXPECT_STREQ(text.getText(), "ab 1");
    EXPECT_EQ(text.getLength(), 4);
    EXPECT_EQ(text.getVertexData(), nullptr) << "vertices are made by setup";
    text.setText("longer text");
    text.setPos(1.0f, 2.0f);
    EXPECT_EQ(text.getVertexData(), nullptr) << "no GL work before setup";
}

TEST(TextLayout, BoxTestsAreStrictAndDimensionsUnscaled)
{
    Text text(10.0f, 20.0f, "AB", 1.0f, NO_TINT, FONT);
    EXPECT_TRUE(text.positionInsideText(11.0f, 21.0f));
    EXPECT_TRUE(text.positionInsideText(99.0f, 73.0f));
    EXPECT_FALSE(text.positionInsideText(10.0f, 30.0f));
    EXPECT_FALSE(text.positionInsideText(100.0f, 30.0f));
    EXPECT_FALSE(text.positionInsideText(50.0f, 20.0f));
    EXPECT_FALSE(text.positionInsideText(50.0f, 74.0f));
    text.setScale(0.5f, false);
    EXPECT_FALSE(text.positionInsideText(60.0f, 30.0f));
    EXPECT_FALSE(text.positionInsideText(50.0f, 50.0f));
    EXPECT_TRUE(text.positionInsideText(50.0f, 30.0f));

    EXPECT_EQ(Text::dimensions("PLAY"), glm::vec2(180.0f, 54.0f));
    EXPECT_EQ(Text::dimensions(""), glm::vec2(0.0f, 54.0f));
}

TEST(TextFade, AlphaFallsLinearlyAndTheTextHidesOnceTimeRunsOut)
{
    Text text(0.0f, 0.0f, "100", 0.3f, NO_TINT, FONT);
    text.setFadeToTransparent(3.0f);
    EXPECT_FLOAT_EQ(text.alpha, 1.0f);
    text.update(1.5f);
    EXPECT_FLOAT_EQ(text.alpha, 0.5f);
    text.update(1.5f);
    EXPECT_TRUE(text.visible) << "exactly zero time left is not yet over";
    EXPECT_FLOAT_EQ(text.alpha, 0.0f);
    text.update(0.1f);
    EXPECT_FALSE(text.visible);

    // A finished fade leaves alpha alone until the next one starts.
    const float last = text.alpha;
    text.update(1.0f);
    EXPECT_FLOAT_EQ(text.alpha, last);
    text.visible = true;
    text.setFadeToTransparent(2.0f);
    text.update(0.5f);
    EXPECT_FLOAT_EQ(text.alpha, 0.75f);
}

TEST_F(TextTest, VerticesFollowTheAtlasWithSpacesEmpty)
{
    Text text(100.0f, 50.0f, "ab 1", 2.0f, NO_TINT, FONT);
    ASSERT_TRUE(text.setup());
    const Text::CharBounds a = Text::getCharBounds('A');
    EXPECT_EQ(positionOf(text, 0), glm::vec2(100.0f, 50.0f));
    EXPECT_EQ(uvOf(text, 0), glm::vec2(a.left, a.bottom));
    EXPECT_EQ(positionOf(text, 1), glm::vec2(170.0f, 50.0f));
    EXPECT_EQ(uvOf(text, 1), glm::vec2(a.right, a.bottom));
    EXPECT_EQ(positionOf(text, 2), glm::vec2(100.0f, 158.0f));
    EXPECT_EQ(uvOf(text, 2), glm::vec2(a.left, a.top));
    EXPECT_EQ(positionOf(text, 3), glm::vec2(170.0f, 158.0f));
    EXPECT_EQ(uvOf(text, 3), glm::vec2(a.right, a.top));
    for (int v = 8; v < 12; ++v)
        EXPECT_EQ(uvOf(text, v), glm::vec2(0.0f)) << "space vertex " << v;
    EXPECT_EQ(positionOf(text, 12), glm::vec2(100.0f + 135.0f * 2.0f, 50.0f));
    EXPECT_EQ(uvOf(text, 12), glm::vec2(Text::getCharBounds('1').left, Text::getCharBounds('1').bottom));
}

TEST_F(TextTest, DrawsEachGlyphFromItsCellUprightWithSpacesLeftEmpty)
{
    Text text(10.0f, 10.0f, "A0B #%", 1.0f, NO_TINT, FONT);
    ASSERT_TRUE(text.setup());
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    text.render(&camera);

    EXPECT_TRUE(near(glyphColour(0), GREEN));
    EXPECT_TRUE(near(glyphColour(1, true), RED)) << "the font must not be flipped";
    EXPECT_TRUE(near(glyphColour(1, false), BLUE));
    EXPECT_TRUE(near(glyphColour(2), BLUE));
    EXPECT_EQ(glyphColour(3), BLACK);
    EXPECT_TRUE(near(glyphColour(4), RED)) << "an unknown sign draws as 0";
    EXPECT_TRUE(near(glyphColour(5), WHITE));
    EXPECT_EQ(gl.readPixel(10 + 35 + 4, 30), BLACK) << "gap between glyphs";

    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(TextTest, ColourTintsAndAlphaBlendsOverTheScene)
{
    Text tinted(10.0f, 10.0f, "%%", 1.0f, glm::vec3(1.0f, 0.5f, 0.0f), FONT);
    ASSERT_TRUE(tinted.setup());
    tinted.alpha = 0.5f;
    tinted.render(&camera);
    EXPECT_TRUE(near(glyphColour(0), glm::u8vec4(128, 64, 0, 255), 2));

    tinted.visible = false;
    gl.clear();
    tinted.render(&camera);
    EXPECT_EQ(glyphColour(0), BLACK);
}

TEST_F(TextTest, NewTextOfAnyLengthIsShownAtTheNextDraw)
{
    Text text(10.0f, 10.0f, "AB", 1.0f, NO_TINT, FONT);
    // Set before setup: setup builds from the latest copy.
    text.setText("BB");
    ASSERT_TRUE(text.setup());
    text.setText("BA");
    text.render(&camera);
    EXPECT_TRUE(near(glyphColour(0), BLUE));
    EXPECT_TRUE(near(glyphColour(1), GREEN));

    gl.clear();
    text.setText("A0B%");
    EXPECT_EQ(text.getLength(), 4);
    text.render(&camera);
    EXPECT_TRUE(near(glyphColour(0), GREEN));
    EXPECT_TRUE(near(glyphColour(3), WHITE));

    gl.clear();
    text.setText("0", 100.0f);
    text.render(&camera);
    EXPECT_EQ(glyphColour(0), BLACK);
    EXPECT_TRUE(near(gl.readPixel(117, 50), RED));
}

TEST_F(TextTest, MovingAndRescalingRefillTheGlyphs)
{
    Text text(10.0f, 10.0f, "A", 1.0f, NO_TINT, FONT);
    ASSERT_TRUE(text.setup());
    text.setPos(200.0f, 10.0f);
    text.render(&camera);
    EXPECT_EQ(glyphColour(0), BLACK);
    EXPECT_TRUE(near(gl.readPixel(217, 30), GREEN));

    gl.clear();
    // Within 0.0001 of the current place counts as no move.
    text.setPos(200.00001f, 10.0f);
    EXPECT_EQ(positionOf(text, 0), glm::vec2(200.0f, 10.0f));

    text.setScale(0.5f, false);
    EXPECT_EQ(positionOf(text, 1), glm::vec2(235.0f, 10.0f)) << "rebuild false keeps the vertices";
    text.setScale(0.5f, true);
    EXPECT_EQ(positionOf(text, 1), glm::vec2(217.5f, 10.0f));
    text.render(&camera);
    EXPECT_TRUE(near(gl.readPixel(208, 20), GREEN));
    EXPECT_EQ(gl.readPixel(225, 30), BLACK);
}

TEST_F(TextTest, AnEmptyTextDrawsNothing)
{
    Text text(10.0f, 10.0f, "", 1.0f, NO_TINT, FONT);
    ASSERT_TRUE(text.setup());
    EXPECT_EQ(text.getLength(), 0);
    text.render(&camera);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(glyphColour(0), BLACK);
}
