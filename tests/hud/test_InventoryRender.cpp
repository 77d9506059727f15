// The inventory window drawn for real: icons cut from the atlas over their
// quality frames, the held icon at the pointer, the stat sums and the
// information box. The test atlas paints every cell in a colour naming its
// column and row, so a pixel tells which cell was drawn where.

#include <gtest/gtest.h>

#include "game/Item.h"
#include "hud/Inventory.h"
#include "hud/VertexQuad.h"
#include "test_HudDoubles.h"
#include "HudTestSupport.h"

namespace {

const int X = InventoryProbe::X;
const int Y = InventoryProbe::Y;

const uint32_t EPIC_ARMOR = itemCode(30, ARMOR, EPIC, 21);
const uint32_t RARE_HELM = itemCode(20, HEAD, RARE, 22);
const uint32_t MAGIC_BOOTS = itemCode(10, FEET, MAGIC, 23);
const uint32_t NORMAL_RING = itemCode(5, FINGER, NORMAL, 24);
const uint32_t EPIC_SWORD = itemCode(40, WEAPON, EPIC, 25);


// Lower-left corner of an item's drawn place.
glm::ivec2 cornerOf(int location)
{
    if (location >= 0)
        return glm::ivec2(X + 409 + 45 * (location % 13), Y + 34 + 45 * (location / 13));
    const std::map<int, glm::ivec2> slots = {{-1, {174, 425}}, {-2, {174, 265}}, {-3, {70, 227}},
                                             {-5, {66, 363}},  {-7, {174, 179}}};
    return glm::ivec2(X, Y) + slots.at(location);
}

glm::u8vec4 iconColour(int icon)
{
    return atlasCellColour((icon % 16 + 15) % 16, icon / 16);
}

glm::u8vec4 frameColour(item_quality quality)
{
    const int frame = quality == EPIC ? 1 : quality == RARE ? 2 : quality == MAGIC ? 3 : 4;
    return iconColour(frame);
}

class InventoryDrawing : public HudScreenTest {
protected:
    void SetUp() override
    {
        HudScreenTest::SetUp();
        if (HasFatalFailure())
            return;
        bag.put(EPIC_ARMOR, 0);
        bag.put(RARE_HELM, 1);
        bag.put(MAGIC_BOOTS, 14);
        bag.put(NORMAL_RING, 129);
        bag.put(EPIC_SWORD, -3);
        window = std::make_unique<InventoryProbe>(&bag);
        ASSERT_TRUE(window->setup());
        window->setActive(true);
    }

    void drawWithPointerAt(int x, int y)
    {
        context->clear();
        window->update(0.016f, x, y);
        window->render(&camera);
    }

    // Whether any pixel of row y between x0 and x1 is white.
    bool whiteInRow(int y, int x0, int x1) const
    {
        for (int x = x0; x < x1; ++x) {
            if (closeTo(pixel(x, y), glm::u8vec4(255, 255, 255, 255)))
                return true;
        }
        return false;
    }

    FakeInventory bag;
    std::unique_ptr<InventoryProbe> window;
    WindowCamera camera;
    BusRecorder bus;
};

} // namespace

TEST_F(InventoryDrawing, EveryItemShowsItsIconOverTheFrameOfItsQuality)
{
    drawWithPointerAt(X + 5, Y + 5);
    EXPECT_TRUE(closeTo(pixel(X + 5, Y + 5), BACKGROUND_COLOUR));
    for (ItemInstance* item : bag.items) {
        const Item rebuilt(item->itemCode);
        const glm::ivec2 corner = cornerOf(item->location);
        SCOPED_TRACE(::testing::Message() << "location " << item->location << ", icon " << rebuilt.icon);
        EXPECT_TRUE(closeTo(pixel(corner.x + 21, corner.y + 21), iconColour(rebuilt.icon)));
        EXPECT_TRUE(closeTo(pixel(corner.x + 2, corner.y + 21), frameColour(rebuilt.quality)));
        EXPECT_TRUE(closeTo(pixel(corner.x + 21, corner.y + 40), frameColour(rebuilt.quality)));
    }
}

TEST_F(InventoryDrawing, TheHeldItemIsDrawnCentredOnThePointerAndNotAtItsPlace)
{
    const glm::ivec2 ring = cornerOf(129);
    window->mouseClick(ring.x + 21, ring.y + 21, MOUSE_BUTTON_LEFT);
    drawWithPointerAt(1300, 700);
    const int icon = Item(NORMAL_RING).icon;
    EXPECT_TRUE(closeTo(pixel(1299, 699), iconColour(icon)));
    EXPECT_TRUE(closeTo(pixel(1300 - 22, 699), frameColour(NORMAL)));
    EXPECT_TRUE(closeTo(pixel(ring.x + 21, ring.y + 21), BACKGROUND_COLOUR));
}

TEST_F(InventoryDrawing, TheStatPanelWritesEachSumAtItsPlace)
{
    drawWithPointerAt(X + 5, Y + 5);
    const glm::ivec2 places[] = {{145, 125}, {350, 125}, {145, 80}, {350, 80}, {145, 35}, {350, 35}};
    for (const glm::ivec2& place : places) {
        EXPECT_TRUE(closeTo(pixel(X + place.x + 3, Y + place.y + 6), glm::u8vec4(0, 0, 0, 255))) << place.x;
        EXPECT_TRUE(closeTo(pixel(X + place.x - 3, Y + place.y + 6), BACKGROUND_COLOUR)) << place.x;
    }
}

TEST_F(InventoryDrawing, TheBoxOfARareItemHasATwoLineNameAndSevenNumbers)
{
    ASSERT_FALSE(Item(RARE_HELM).namePrefixPart.empty());
    const glm::ivec2 helm = cornerOf(1) + glm::ivec2(21);
    drawWithPointerAt(helm.x, helm.y);
    saveScreenshot("inventory_test_pictures");

    EXPECT_TRUE(closeTo(pixel(helm.x + 5, helm.y + 5), HOVER_RARE_COLOUR));
    EXPECT_TRUE(closeTo(pixel(helm.x + 245, helm.y + 245), HOVER_RARE_COLOUR));
    EXPECT_TRUE(whiteInRow(helm.y + 225, helm.x, helm.x + 250));
    EXPECT_TRUE(whiteInRow(helm.y + 195, helm.x, helm.x + 250));
    EXPECT_FALSE(whiteInRow(helm.y + 208, helm.x, helm.x + 250));
    for (int row = 0; row < 7; ++row) {
        const int y = helm.y + 145 - static_cast<int>(22.5f * row) + 4;
        EXPECT_TRUE(closeTo(pixel(helm.x + 182, y), glm::u8vec4(0, 0, 0, 255))) << row;
    }
}

TEST_F(InventoryDrawing, TheBoxOfAPlainItemHasOneNameLineAndTheColourOfItsQuality)
{
    ASSERT_TRUE(Item(NORMAL_RING).namePrefixPart.empty());
    const glm::ivec2 ring = cornerOf(129) + glm::ivec2(21);
    drawWithPointerAt(ring.x, ring.y);
    const glm::ivec2 corner = ring;
    EXPECT_TRUE(closeTo(pixel(corner.x + 5, corner.y + 5), HOVER_NORMAL_COLOUR));
    EXPECT_TRUE(whiteInRow(corner.y + 208, corner.x, corner.x + 250));
    EXPECT_FALSE(whiteInRow(corner.y + 225, corner.x, corner.x + 250));
    EXPECT_FALSE(whiteInRow(corner.y + 195, corner.x, corner.x + 250));

    const glm::ivec2 boots = cornerOf(14) + glm::ivec2(21);
    drawWithPointerAt(boots.x, boots.y);
    EXPECT_TRUE(closeTo(pixel(boots.x + 5, boots.y + 5), HOVER_MAGIC_COLOUR));
    const glm::ivec2 armor = cornerOf(0) + glm::ivec2(21);
    drawWithPointerAt(armor.x, armor.y);
    EXPECT_TRUE(closeTo(pixel(armor.x + 5, armor.y + 5), HOVER_EPIC_COLOUR));
}

TEST_F(InventoryDrawing, TheBoxTurnsInwardsWithinTwoHundredFiftyPixelsOfTheRightAndTopEdges)
{
    int bx = 0;
    int by = 0;
    window->update(0.016f, 1000, 500);
    window->updateVertexDataForHoverItem(&bx, &by);
    EXPECT_EQ(glm::ivec2(bx, by), glm::ivec2(1000, 500));
    window->update(0.016f, 1671, 831);
    window->updateVertexDataForHoverItem(&bx, &by);
    EXPECT_EQ(glm::ivec2(bx, by), glm::ivec2(1421, 581));
    window->update(0.016f, 1670, 830);
    window->updateVertexDataForHoverItem(&bx, &by);
    EXPECT_EQ(glm::ivec2(bx, by), glm::ivec2(1670, 830));

    const float* v = window->hoverQuad->getVertices();
    EXPECT_FLOAT_EQ(v[0], 1670.0f);
    EXPECT_FLOAT_EQ(v[1], 1080.0f);
    EXPECT_FLOAT_EQ(v[2 * 4], 1920.0f);
    EXPECT_FLOAT_EQ(v[2 * 4 + 1], 830.0f);
    EXPECT_FLOAT_EQ(v[5 * 4 + 2], 1.0f) << "the box shows its whole picture";
    EXPECT_FLOAT_EQ(v[5 * 4 + 3], 1.0f);
}

TEST_F(InventoryDrawing, Icon16IsTheLastColumnOfRowOneAndIcon17TheFirst)
{
    ItemInstance* armor = bag.getItemAtLocation(0);
    const glm::ivec2 corner = cornerOf(0);
    const struct {
        int icon;
        float uLeft;
        glm::u8vec4 colour;
    } cases[] = {{16, -1.0f / 16.0f, atlasCellColour(15, 1)}, {17, 0.0f, atlasCellColour(0, 1)}};
    for (const auto& c : cases) {
        window->updateVertexDataForItem(armor, c.icon);
        const float* v = window->itemQuad->getVertices();
        // Vertex 0 is the top left, vertex 2 the bottom right.
        EXPECT_FLOAT_EQ(v[0], static_cast<float>(corner.x)) << c.icon;
        EXPECT_FLOAT_EQ(v[1], static_cast<float>(corner.y + 42));
        EXPECT_FLOAT_EQ(v[2], c.uLeft);
        EXPECT_FLOAT_EQ(v[3], 2.0f / 16.0f);
        EXPECT_FLOAT_EQ(v[8 + 2], c.uLeft + 1.0f / 16.0f);
        EXPECT_FLOAT_EQ(v[8 + 3], 1.0f / 16.0f);

        context->clear();
        window->itemQuad->setTexture(window->atlasTextureId);
        window->itemQuad->render(&camera);
        EXPECT_TRUE(closeTo(pixel(corner.x + 21, corner.y + 21), c.colour)) << c.icon;
    }
}
