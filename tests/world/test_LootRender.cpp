#include <gtest/gtest.h>

#include <GL/glew.h>

#include <string>

#include "WorldTestKit.h"
#include "core/Util.h"
#include "game/Item.h"
#include "game/LootManager.h"
#include "support/LogCapture.h"
#include "support/TestPackage.h"

namespace {

const std::string CELLAR = "levels/level1_1.xml";
const std::string TOWN = "levels/level0.xml";

uint32_t codeOf(uint32_t seed, item_quality quality)
{
    return seed << 16 | static_cast<uint32_t>(quality) << 12 | 1u;
}

// Boxes and labels looked at from straight above. Each quality's box wears
// one solid colour of the kit's pictures: normal red, magic green, rare
// blue, epic white; the font is solid white, so every glyph is a white cell.
class LootDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(worldContext().ok()) << worldContext().error();
        SCREEN_WIDTH = VIEW_SIZE;
        SCREEN_HEIGHT = VIEW_SIZE;
        std::map<std::string, std::string> entries = levelEntries(levelXml(), levelBitmap({"."}));
        entries["textures/lootbox_normal.png"] = entries["textures/ground.png"];
        entries["textures/lootbox_magic.png"] = entries["textures/wall.png"];
        entries["textures/lootbox_rare.png"] = entries["textures/stairs_down.png"];
        entries["textures/lootbox_epic.png"] = entries["textures/particle.bmp"];
        entries["textures/font.png"] = entries["textures/particle.bmp"];
        TestPackage package(entries);
        ASSERT_TRUE(package.ok());
        LogCapture log;
        ASSERT_TRUE(manager.setup());
        EXPECT_FALSE(log.contains("[ERROR]")) << log.text();
    }

    // A box lying on the floor at (x, y).
    void place(float x, float y, uint32_t code, const std::string& level)
    {
        manager.addLoot(glm::vec3(x, y, 0.0f), code, level);
        manager.getLoot().back()->speed = 0.0f;
        manager.update(0.0f);
    }

    glm::u8vec4 pixelAt(const glm::ivec2& pixel) const { return worldContext().readPixel(pixel.x, pixel.y); }

    static bool dark(const glm::u8vec4& p) { return p.r + p.g + p.b < 10; }
    static bool white(const glm::u8vec4& p) { return p.r > 200 && p.g > 200 && p.b > 200; }
    // The strongest channel, or -1 when none stands out (white or dark).
    static int dominant(const glm::u8vec4& p)
    {
        for (int c = 0; c < 3; ++c)
            if (p[c] > 40 && p[c] > 2 * p[(c + 1) % 3] && p[c] > 2 * p[(c + 2) % 3])
                return c;
        return -1;
    }

    StillCamera camera{glm::vec3(0.0f, 0.0f, 12.0f), glm::vec3(0.0f)};
    LootManager manager;
};

const glm::vec3 BOX_TOP(0.0f, 0.0f, 1.0f);

} // namespace

TEST_F(LootDrawing, EachQualityHasItsOwnBoxAndOnlyTheCurrentLevelIsDrawn)
{
    place(-4.0f, 4.0f, codeOf(11, NORMAL), CELLAR);
    place(4.0f, 4.0f, codeOf(12, MAGIC), CELLAR);
    place(-4.0f, -4.0f, codeOf(13, RARE), CELLAR);
    place(4.0f, -4.0f, codeOf(14, EPIC), CELLAR);
    place(0.0f, 0.0f, codeOf(15, NORMAL), TOWN);

    worldContext().clear();
    glEnable(GL_DEPTH_TEST);
    manager.render(&camera, CELLAR);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    EXPECT_EQ(dominant(pixelAt(camera.pixelOf(BOX_TOP + glm::vec3(-4.0f, 4.0f, 0.0f)))), 0);
    EXPECT_EQ(dominant(pixelAt(camera.pixelOf(BOX_TOP + glm::vec3(4.0f, 4.0f, 0.0f)))), 1);
    EXPECT_EQ(dominant(pixelAt(camera.pixelOf(BOX_TOP + glm::vec3(-4.0f, -4.0f, 0.0f)))), 2);
    const glm::u8vec4 epic = pixelAt(camera.pixelOf(BOX_TOP + glm::vec3(4.0f, -4.0f, 0.0f)));
    EXPECT_EQ(dominant(epic), -1);
    EXPECT_GT(epic.r + epic.g + epic.b, 150);
    // The boxes are unit cubes resting on the floor.
    EXPECT_TRUE(dark(pixelAt(camera.pixelOf(glm::vec3(-4.0f, 4.6f, 1.0f)))));
    EXPECT_TRUE(dark(pixelAt(camera.pixelOf(BOX_TOP))));
}

TEST_F(LootDrawing, TheLabelShowsTheWholeNameFromTheBoxCentreUpAndRight)
{
    // A name short enough to fit the view beside its box.
    uint32_t code = 0;
    std::string name;
    for (uint32_t seed = 1; name.empty() || name.size() > 14; ++seed) {
        code = codeOf(seed, NORMAL);
        name = Item(code).name;
    }
    place(-8.0f, 3.0f, code, CELLAR);
    place(-8.0f, -6.0f, code, TOWN);

    worldContext().clear();
    manager.renderLootTexts(&camera, CELLAR);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const glm::ivec2 origin = camera.pixelOf(glm::vec3(-8.0f, 3.0f, 0.5f));
    // Glyph i starts 13.5 pixels (45 at scale 0.3) after glyph i - 1.
    const auto intoGlyph = [&origin](size_t i) { return origin + glm::ivec2(static_cast<int>(i * 13.5f) + 5, 8); };
    EXPECT_TRUE(white(pixelAt(intoGlyph(0))));
    EXPECT_TRUE(white(pixelAt(intoGlyph(name.size() - 1))));
    EXPECT_TRUE(dark(pixelAt(intoGlyph(name.size()))));
    EXPECT_TRUE(dark(pixelAt(origin + glm::ivec2(5, -8))));
    const glm::ivec2 townOrigin = camera.pixelOf(glm::vec3(-8.0f, -6.0f, 0.5f));
    EXPECT_TRUE(dark(pixelAt(townOrigin + glm::ivec2(5, 8))));
}
