#pragma once

#include <string>

#include <GL/glew.h>

#include "hud/HudElement.h"

class InventoryProvider;
class ItemInstance;
class Text;
class VertexQuad;

// The inventory window: the bag of 13 x 10 cells, the seven equipment slots,
// the sums of the hero's stats and an information box for the item under the
// pointer. Items are moved with the mouse (left button picks up and puts
// down, right button equips and unequips) by rewriting the location of the
// player's ItemInstances; the window holds no items of its own. The HUD owns
// it, opens and closes it with 'i' and hands it every in-game update and
// click; it does nothing while hidden.
class Inventory : public HudElement {
public:
    // The provider (the player) is not owned and must outlive the window.
    Inventory(InventoryProvider* provider, int x, int y, int w, int h, std::string backgroundTexture);
    ~Inventory() override;

    // Icon quad, box quad, the five pictures, both texts, then the background.
    bool setup() override;
    // Remembers the pointer and, with empty hands, the item under it.
    void update(float dt, int mouseX, int mouseY) override;
    void render(MatrixOwner* camera) override;
    void mouseClick(int x, int y, mouse_button button) override;
    void keyPress(char key) override;

    // Opens or closes the window; closing puts a held item down first.
    void setActive(bool active);
    // Bag cell 0..129, equipment slot -1..-7, or -100 for a point on neither.
    int getLocation(int x, int y) const;
    // Strictly inside the rectangle with lower-left corner (x, y).
    static bool insideRect(float px, float py, float x, float y, float w, float h);
    // Whether the item fits the equipment slot at 'location'; never a bag cell.
    static bool canEquip(int location, unsigned itemCode);
    // The first free bag cell, or -100 when the bag is full.
    int getEmptyInventoryLocation() const;
    static void makePickupSound();
    static void makeDropSound();
    // Lays the icon quad over the item's place (or the pointer, for the held
    // item) showing atlas cell 'iconNumber'.
    void updateVertexDataForItem(ItemInstance* item, int iconNumber);
    // Places the 250 x 250 information box at the pointer, turned inwards near
    // the right and top edges, and returns its corner.
    void updateVertexDataForHoverItem(int* boxX, int* boxY);
    // The item's quality frame, then its icon.
    void renderItem(ItemInstance* item, MatrixOwner* camera);

    static constexpr int BAG_COLUMNS = 13;
    static constexpr int BAG_ROWS = 10;
    static constexpr int BAG_CELLS = BAG_COLUMNS * BAG_ROWS;

protected:
    void leftClick(int x, int y);
    void rightClick(int x, int y);
    void putDownInBag(int location, ItemInstance* found);
    void putDownInSlot(int location, ItemInstance* found);
    // Where a held item goes when it is put back rather than placed.
    int returnLocation() const;
    void returnHeldItem();
    // The item at a bag cell or slot; null for -100 and for free places.
    ItemInstance* itemAt(int location) const;
    // Lower-left corner of the place an item lying at 'location' is drawn at.
    bool placeCorner(int location, float* cornerX, float* cornerY) const;
    void renderStats(MatrixOwner* camera);
    void renderHoverBox(MatrixOwner* camera);
    void renderNumber(int value, float px, float py, MatrixOwner* camera);
    void renderNameLine(const std::string& line, float centreX, float top, MatrixOwner* camera);

    ItemInstance* heldItem = nullptr;
    ItemInstance* hoveredItem = nullptr;
    int heldOrigin;
    int mouseX = 0;
    int mouseY = 0;
    GLuint atlasTextureId = 0;
    GLuint hoverEpicTextureId = 0;
    GLuint hoverRareTextureId = 0;
    GLuint hoverNormalTextureId = 0;
    GLuint hoverMagicTextureId = 0;
    VertexQuad* itemQuad = nullptr;
    VertexQuad* hoverQuad = nullptr;
    Text* whiteText = nullptr;
    Text* blackText = nullptr;
    InventoryProvider* provider;
};
