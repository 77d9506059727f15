#include "hud/Inventory.h"

#include <cstdio>
#include <utility>

#include "audio/GameSound.h"
#include "core/Log.h"
#include "core/MailBox.h"
#include "core/Util.h"
#include "game/InventoryProvider.h"
#include "game/InventoryProviderHelper.h"
#include "game/Item.h"
#include "game/ItemInstance.h"
#include "hud/VertexQuad.h"
#include "render/Text.h"
#include "render/TextureManager.h"

namespace {

const int NO_LOCATION = InventoryProviderHelper::NO_LOCATION;

const char* const QUAD_VERTEX_SHADER = "shaders/basicortho.vs";
const char* const QUAD_FRAGMENT_SHADER = "shaders/basicortho.fs";
const char* const FONT_TEXTURE = "textures/font.png";
const char* const ATLAS_TEXTURE = "textures/itematlas.png";
const char* const HOVER_EPIC_TEXTURE = "textures/hoverbg_epic.png";
const char* const HOVER_RARE_TEXTURE = "textures/hoverbg_rare.png";
const char* const HOVER_MAGIC_TEXTURE = "textures/hoverbg_magic.png";
const char* const HOVER_NORMAL_TEXTURE = "textures/hoverbg_normal.png";

// The bag's area inside the window and the pitch its icons are drawn at. A
// hit cell (588 / 13 by 453 / 10) is a little larger than the drawing pitch.
const float BAG_LEFT = 409.0f;
const float BAG_BOTTOM = 34.0f;
const float BAG_WIDTH = 588.0f;
const float BAG_HEIGHT = 453.0f;
const float CELL_PITCH = 45.0f;

const float ICON_SIZE = 42.0f;
// Half the drawing pitch: the held icon sits centred on the pointer.
const float HELD_ICON_OFFSET = 22.5f;
const int ATLAS_CELLS_PER_ROW = 16;

// The equipment slots in the order a point is tested against them.
struct SlotBox {
    int location;
    float x;
    float y;
};
const SlotBox SLOT_BOXES[] = {
    {-1, 174.0f, 425.0f}, // HEAD
    {-5, 66.0f, 363.0f},  // FINGER
    {-6, 287.0f, 363.0f}, // NECK
    {-3, 70.0f, 227.0f},  // WEAPON
    {-4, 284.0f, 226.0f}, // OFFHAND
    {-7, 174.0f, 179.0f}, // FEET
    {-2, 174.0f, 265.0f}, // ARMOR
};

// Where the six stat sums stand, offsets from the window's corner.
const float STAT_COLUMN_LEFT = 145.0f;
const float STAT_COLUMN_RIGHT = 350.0f;
const float STAT_ROW_TOP = 125.0f;
const float STAT_ROW_MIDDLE = 80.0f;
const float STAT_ROW_BOTTOM = 35.0f;
const float NUMBER_SCALE = 0.25f;

const float HOVER_BOX_SIZE = 250.0f;
const float NAME_SCALE = 0.3f;
// Half the name scale: a line's width times this centres it.
const float NAME_HALF_SCALE = 0.15f;
const float NAME_FIRST_LINE_DROP = 27.5f;
const float NAME_SECOND_LINE_DROP = 55.0f;
const float NAME_SINGLE_LINE_DROP = 41.25f;
const float BOX_NUMBER_X = 180.0f;
const float BOX_NUMBER_TOP = 145.0f;
const float BOX_NUMBER_STEP = 22.5f;

// Atlas cells of the quality frames drawn under every icon.
const int FRAME_ICON_EPIC = 1;
const int FRAME_ICON_RARE = 2;
const int FRAME_ICON_MAGIC = 3;
const int FRAME_ICON_NORMAL = 4;

bool isBagCell(int location)
{
    return location >= 0 && location < Inventory::BAG_CELLS;
}

bool isSlot(int location)
{
    return location <= -1 && location >= -7;
}

int frameIcon(item_quality quality)
{
    switch (quality) {
    case EPIC:
        return FRAME_ICON_EPIC;
    case RARE:
        return FRAME_ICON_RARE;
    case MAGIC:
        return FRAME_ICON_MAGIC;
    case NORMAL:
        return FRAME_ICON_NORMAL;
    default:
        log_error("Error 1");
        return FRAME_ICON_NORMAL;
    }
}

void playSound(game_sound sound)
{
    MessagePayload* payload = new MessagePayload();
    payload->setInt(sound);
    MailBox::getInstance()->sendMessage(MESSAGE_PLAY_GAME_SOUND, payload);
}

GLuint loadPicture(const char* path)
{
    return TextureManager::getInstance()->loadTexture(path, true);
}

void freePicture(GLuint id, const char* path)
{
    if (id != 0)
        TextureManager::getInstance()->freeTexture(path);
}

Text* newText(const glm::vec3& colour)
{
    return new Text(0.0f, 0.0f, "", 1.0f, colour, FONT_TEXTURE);
}

} // namespace

Inventory::Inventory(InventoryProvider* provider, int x, int y, int w, int h, std::string backgroundTexture)
    : HudElement(x, y, w, h, std::move(backgroundTexture), false)
    , heldOrigin(NO_LOCATION)
    , provider(provider)
{
}

Inventory::~Inventory()
{
    freePicture(atlasTextureId, ATLAS_TEXTURE);
    freePicture(hoverEpicTextureId, HOVER_EPIC_TEXTURE);
    freePicture(hoverRareTextureId, HOVER_RARE_TEXTURE);
    freePicture(hoverMagicTextureId, HOVER_MAGIC_TEXTURE);
    freePicture(hoverNormalTextureId, HOVER_NORMAL_TEXTURE);
    delete itemQuad;
    delete hoverQuad;
    delete blackText;
    delete whiteText;
}

bool Inventory::setup()
{
    itemQuad = new VertexQuad(0, 0, static_cast<int>(ICON_SIZE), static_cast<int>(ICON_SIZE), QUAD_VERTEX_SHADER,
                              QUAD_FRAGMENT_SHADER);
    if (!itemQuad->setup())
        return false;
    hoverQuad = new VertexQuad(0, 0, 100, 100, QUAD_VERTEX_SHADER, QUAD_FRAGMENT_SHADER);
    if (!hoverQuad->setup())
        return false;
    atlasTextureId = loadPicture(ATLAS_TEXTURE);
    hoverEpicTextureId = loadPicture(HOVER_EPIC_TEXTURE);
    hoverRareTextureId = loadPicture(HOVER_RARE_TEXTURE);
    hoverMagicTextureId = loadPicture(HOVER_MAGIC_TEXTURE);
    hoverNormalTextureId = loadPicture(HOVER_NORMAL_TEXTURE);
    whiteText = newText(glm::vec3(1.0f, 1.0f, 1.0f));
    if (!whiteText->setup())
        return false;
    blackText = newText(glm::vec3(0.0f, 0.0f, 0.0f));
    if (!blackText->setup())
        return false;
    return HudElement::setup();
}

void Inventory::update(float dt, int mouseX, int mouseY)
{
    if (!getActive())
        return;
    this->mouseX = mouseX;
    this->mouseY = mouseY;
    if (heldItem == nullptr)
        hoveredItem = itemAt(getLocation(mouseX, mouseY));
    HudElement::update(dt, mouseX, mouseY);
}

void Inventory::keyPress(char /*key*/)
{
}

void Inventory::mouseClick(int x, int y, mouse_button button)
{
    if (!getActive())
        return;
    if (button == MOUSE_BUTTON_LEFT)
        leftClick(x, y);
    else if (button == MOUSE_BUTTON_OTHER)
        rightClick(x, y);
    else
        log_info("Mouse clicks on that button is not implemented");
}

void Inventory::setActive(bool active)
{
    if (!active && heldItem != nullptr)
        returnHeldItem();
    HudElement::setActive(active, -1, false);
}

bool Inventory::insideRect(float px, float py, float x, float y, float w, float h)
{
    return x < px && px < x + w && y < py && py < y + h;
}

int Inventory::getLocation(int x, int y) const
{
    const float px = static_cast<float>(x);
    const float py = static_cast<float>(y);
    const float bagX = this->x + BAG_LEFT;
    const float bagY = this->y + BAG_BOTTOM;
    if (insideRect(px, py, bagX, bagY, BAG_WIDTH, BAG_HEIGHT)) {
        const int column = static_cast<int>((px - bagX) / BAG_WIDTH * BAG_COLUMNS);
        const int row = static_cast<int>((py - bagY) / BAG_HEIGHT * BAG_ROWS);
        return column + BAG_COLUMNS * row;
    }
    for (const SlotBox& box : SLOT_BOXES) {
        if (insideRect(px, py, this->x + box.x, this->y + box.y, ICON_SIZE, ICON_SIZE))
            return box.location;
    }
    return NO_LOCATION;
}

bool Inventory::canEquip(int location, unsigned itemCode)
{
    if (!isSlot(location))
        return false;
    return InventoryProviderHelper::slotToLocation(Item(itemCode).slot) == location;
}

int Inventory::getEmptyInventoryLocation() const
{
    for (int cell = 0; cell < BAG_CELLS; ++cell) {
        if (provider->getItemAtLocation(cell) == nullptr)
            return cell;
    }
    return NO_LOCATION;
}

void Inventory::makePickupSound()
{
    playSound(SOUND_INVENTORY_ITEM_PICKUP);
}

void Inventory::makeDropSound()
{
    playSound(SOUND_INVENTORY_ITEM_DROP);
}

ItemInstance* Inventory::itemAt(int location) const
{
    if (!isBagCell(location) && !isSlot(location))
        return nullptr;
    return provider->getItemAtLocation(location);
}

void Inventory::leftClick(int x, int y)
{
    const int location = getLocation(x, y);
    ItemInstance* found = itemAt(location);
    if (heldItem == nullptr) {
        if (found == nullptr)
            return;
        heldItem = found;
        heldOrigin = location;
        makePickupSound();
        return;
    }
    if (isBagCell(location))
        putDownInBag(location, found);
    else if (isSlot(location))
        putDownInSlot(location, found);
    else if (returnLocation() != NO_LOCATION) {
        returnHeldItem();
        makeDropSound();
    }
}

void Inventory::putDownInBag(int location, ItemInstance* found)
{
    heldItem->location = location;
    if (location == heldOrigin || found == nullptr) {
        heldItem = nullptr;
    } else {
        // The item that lay there goes into the hand; the origin stays the
        // first pick-up's, which is free now.
        found->location = NO_LOCATION;
        heldItem = found;
    }
    makeDropSound();
}

void Inventory::putDownInSlot(int location, ItemInstance* found)
{
    if (!canEquip(location, heldItem->itemCode))
        return;
    // At the held item's own origin slot 'found' is the held item itself: it
    // stays in the hand, now lying nowhere, and the next click equips it.
    heldItem->location = location;
    if (found != nullptr) {
        found->location = NO_LOCATION;
        heldItem = found;
    } else {
        heldItem = nullptr;
    }
    makePickupSound();
}

int Inventory::returnLocation() const
{
    // An item picked up and not yet put anywhere still lies at its origin.
    if (heldItem->location != NO_LOCATION)
        return heldItem->location;
    if (itemAt(heldOrigin) == nullptr) {
        if (isBagCell(heldOrigin) || canEquip(heldOrigin, heldItem->itemCode))
            return heldOrigin;
    }
    // A swap put this item into the hand and its origin is an equipment slot
    // it does not fit: the first free bag cell, else its own slot if free.
    const int cell = getEmptyInventoryLocation();
    if (cell != NO_LOCATION)
        return cell;
    const int ownSlot = InventoryProviderHelper::slotToLocation(Item(heldItem->itemCode).slot);
    if (itemAt(ownSlot) == nullptr)
        return ownSlot;
    return NO_LOCATION;
}

void Inventory::returnHeldItem()
{
    const int location = returnLocation();
    // With no free place that fits, the hand keeps the item rather than
    // putting it where it does not belong.
    if (location == NO_LOCATION)
        return;
    heldItem->location = location;
    heldItem = nullptr;
}

void Inventory::rightClick(int x, int y)
{
    if (heldItem != nullptr)
        return;
    const int location = getLocation(x, y);
    ItemInstance* found = itemAt(location);
    if (found == nullptr)
        return;
    if (isSlot(location)) {
        const int cell = getEmptyInventoryLocation();
        if (cell == NO_LOCATION) {
            log_info("Inventory is full");
            return;
        }
        found->location = cell;
        makeDropSound();
        return;
    }
    const int equipLocation = InventoryProviderHelper::slotToLocation(Item(found->itemCode).slot);
    ItemInstance* equipped = itemAt(equipLocation);
    if (equipped != nullptr)
        equipped->location = location;
    found->location = equipLocation;
    makePickupSound();
}

bool Inventory::placeCorner(int location, float* cornerX, float* cornerY) const
{
    if (isBagCell(location)) {
        *cornerX = x + BAG_LEFT + CELL_PITCH * static_cast<float>(location % BAG_COLUMNS);
        *cornerY = y + BAG_BOTTOM + CELL_PITCH * static_cast<float>(location / BAG_COLUMNS);
        return true;
    }
    for (const SlotBox& box : SLOT_BOXES) {
        if (box.location == location) {
            *cornerX = x + box.x;
            *cornerY = y + box.y;
            return true;
        }
    }
    return false;
}

void Inventory::updateVertexDataForItem(ItemInstance* item, int iconNumber)
{
    float cx = 0.0f;
    float cy = 0.0f;
    if (item == heldItem) {
        cx = static_cast<float>(mouseX) - HELD_ICON_OFFSET;
        cy = static_cast<float>(mouseY) - HELD_ICON_OFFSET;
    } else if (!placeCorner(item->location, &cx, &cy)) {
        return;
    }
    const float cells = static_cast<float>(ATLAS_CELLS_PER_ROW);
    const int column = iconNumber % ATLAS_CELLS_PER_ROW;
    const int row = iconNumber / ATLAS_CELLS_PER_ROW;
    const float uL = static_cast<float>(column - 1) / cells;
    const float uR = static_cast<float>(column) / cells;
    const float vB = static_cast<float>(row) / cells;
    const float vT = static_cast<float>(row + 1) / cells;
    const float left = cx;
    const float right = cx + ICON_SIZE;
    const float bottom = cy;
    const float top = cy + ICON_SIZE;
    const float vertices[VertexQuad::FLOAT_COUNT] = {
        left,  top,    uL, vT, //
        left,  bottom, uL, vB, //
        right, bottom, uR, vB, //
        left,  top,    uL, vT, //
        right, bottom, uR, vB, //
        right, top,    uR, vT,
    };
    itemQuad->setVertices(vertices);
}

void Inventory::updateVertexDataForHoverItem(int* boxX, int* boxY)
{
    float bx = static_cast<float>(mouseX);
    float by = static_cast<float>(mouseY);
    if (bx + HOVER_BOX_SIZE > static_cast<float>(SCREEN_WIDTH))
        bx -= HOVER_BOX_SIZE;
    if (by + HOVER_BOX_SIZE > static_cast<float>(SCREEN_HEIGHT))
        by -= HOVER_BOX_SIZE;
    hoverQuad->setRectangle(bx, by, HOVER_BOX_SIZE, HOVER_BOX_SIZE);
    *boxX = static_cast<int>(bx);
    *boxY = static_cast<int>(by);
}

void Inventory::renderItem(ItemInstance* item, MatrixOwner* camera)
{
    const Item rebuilt(item->itemCode);
    updateVertexDataForItem(item, frameIcon(rebuilt.quality));
    itemQuad->render(camera);
    updateVertexDataForItem(item, rebuilt.icon);
    itemQuad->render(camera);
}

void Inventory::render(MatrixOwner* camera)
{
    if (!getActive())
        return;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);

    HudElement::render(camera);
    itemQuad->setTexture(atlasTextureId);
    const int count = provider->getNumItems();
    for (int i = 0; i < count; ++i) {
        ItemInstance* item = provider->getItem(i);
        if (item != nullptr && item != heldItem)
            renderItem(item, camera);
    }
    if (heldItem != nullptr)
        renderItem(heldItem, camera);
    renderStats(camera);
    if (hoveredItem != nullptr && heldItem == nullptr)
        renderHoverBox(camera);

    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}

void Inventory::renderNumber(int value, float px, float py, MatrixOwner* camera)
{
    char buffer[5];
    std::snprintf(buffer, sizeof(buffer), "%d", value);
    blackText->setScale(NUMBER_SCALE, false);
    blackText->setPos(px, py);
    blackText->setText(buffer);
    blackText->render(camera);
}

void Inventory::renderStats(MatrixOwner* camera)
{
    InventoryProvider& p = *provider;
    const struct {
        int value;
        float px;
        float py;
    } stats[] = {
        {p.getBaseStrength() + p.getEquippedStrength(), STAT_COLUMN_LEFT, STAT_ROW_TOP},
        {p.getBaseArmor() + p.getEquippedArmor(), STAT_COLUMN_RIGHT, STAT_ROW_TOP},
        {p.getBaseHealth() + p.getEquippedHealth(), STAT_COLUMN_LEFT, STAT_ROW_MIDDLE},
        {p.getBaseHealthRegen() + p.getEquippedHealthRegen(), STAT_COLUMN_RIGHT, STAT_ROW_MIDDLE},
        {p.getBasePower() + p.getEquippedPower(), STAT_COLUMN_LEFT, STAT_ROW_BOTTOM},
        {p.getBasePowerRegen() + p.getEquippedPowerRegen(), STAT_COLUMN_RIGHT, STAT_ROW_BOTTOM},
    };
    for (const auto& stat : stats)
        renderNumber(stat.value, x + stat.px, y + stat.py, camera);
}

void Inventory::renderNameLine(const std::string& line, float centreX, float top, MatrixOwner* camera)
{
    const glm::vec2 size = Text::dimensions(line.c_str());
    whiteText->setScale(NAME_SCALE, false);
    whiteText->setPos(centreX - NAME_HALF_SCALE * size.x, top - NAME_HALF_SCALE * size.y);
    whiteText->setText(line.c_str());
    whiteText->render(camera);
}

void Inventory::renderHoverBox(MatrixOwner* camera)
{
    const Item item(hoveredItem->itemCode);
    switch (item.quality) {
    case EPIC:
        hoverQuad->setTexture(hoverEpicTextureId);
        break;
    case RARE:
        hoverQuad->setTexture(hoverRareTextureId);
        break;
    case NORMAL:
        hoverQuad->setTexture(hoverNormalTextureId);
        break;
    case MAGIC:
        hoverQuad->setTexture(hoverMagicTextureId);
        break;
    default:
        log_error("Error 1");
        break;
    }
    int boxX = 0;
    int boxY = 0;
    updateVertexDataForHoverItem(&boxX, &boxY);
    hoverQuad->render(camera);

    const float bx = static_cast<float>(boxX);
    const float boxTop = static_cast<float>(boxY) + HOVER_BOX_SIZE;
    const float centreX = bx + HOVER_BOX_SIZE * 0.5f;
    if (!item.namePrefixPart.empty()) {
        renderNameLine(item.namePrefixPart, centreX, boxTop - NAME_FIRST_LINE_DROP, camera);
        renderNameLine(item.nameSuffixPart, centreX, boxTop - NAME_SECOND_LINE_DROP, camera);
    } else {
        renderNameLine(item.name, centreX, boxTop - NAME_SINGLE_LINE_DROP, camera);
    }

    const int numbers[] = {item.level,  item.strength,   item.armor,     item.health,
                           item.healthRegen, item.power, item.powerRegen};
    float numberY = static_cast<float>(boxY) + BOX_NUMBER_TOP;
    for (int value : numbers) {
        renderNumber(value, bx + BOX_NUMBER_X, numberY, camera);
        numberY -= BOX_NUMBER_STEP;
    }
}
