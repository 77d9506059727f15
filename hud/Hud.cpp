#include "hud/Hud.h"

#include <cstdio>
#include <utility>

#include <glm/glm.hpp>

#include "audio/GameSound.h"
#include "core/MailBox.h"
#include "core/MathUtil.h"
#include "core/Util.h"
#include "game/SkillInterface.h"
#include "game/ValueProvider.h"
#include "hud/Bar.h"
#include "hud/Button.h"
#include "hud/HudElement.h"
#include "hud/Inventory.h"
#include "hud/WorldMap.h"
#include "render/Text.h"

// The build passes its short commit hash; a build outside a checkout says "dev".
#ifndef MORVELUND_BUILD_ID
#define MORVELUND_BUILD_ID "dev"
#endif

namespace {

const char* const FONT_TEXTURE = "textures/font.png";
const glm::vec3 WHITE(1.0f, 1.0f, 1.0f);

// Menu items, bars and texts are laid out for a 1980-pixel-wide window.
const float LAYOUT_WIDTH = 1980.0f;
// Texts have their full size in a 1920-pixel-wide window and shrink with a
// smaller one like their positions do, so that they keep their room.
const float TEXT_LAYOUT_WIDTH = 1920.0f;

const float SMALL_TEXT_SCALE = 0.3f;
const float MENU_ENTRY_SCALE = 1.0f;
const float MENU_HOVER_SCALE = 1.2f;
const int BAR_MAX_VALUE = 100;
// The bars stand this many unscaled pixels in from the window's edges.
const int BAR_MARGIN = 10;

// Skill button N stands at (SKILL_BUTTON_X0 + SKILL_BUTTON_PITCH * N, 50).
const int SKILL_BUTTON_X0 = 260;
const int SKILL_BUTTON_PITCH = 100;
const int SKILL_BUTTON_Y = 50;
const int SKILL_BUTTON_SIZE = 50;

// Buff icons stack downwards from the top-left corner.
const int BUFF_X = 50;
const int BUFF_TOP_GAP = 60;
const int BUFF_PITCH = 55;
const int BUFF_SIZE = 50;

const int INVENTORY_WIDTH = 1024;
const int INVENTORY_HEIGHT = 512;

const char ESCAPE_KEY = 27;
const float LEVEL_NAME_MARGIN = 10.0f;
const float BANNER_FADE_SECONDS = 3.0f;

// 1 in a 1920-pixel-wide window, less in a smaller one.
float textSize()
{
    return static_cast<float>(SCREEN_WIDTH) / TEXT_LAYOUT_WIDTH;
}

Text* newText(float x, float y, const char* text, float scale)
{
    return new Text(x, y, text, scale, WHITE, FONT_TEXTURE);
}

void playSound(game_sound sound)
{
    MessagePayload* payload = new MessagePayload();
    payload->setInt(sound);
    MailBox::getInstance()->sendMessage(MESSAGE_PLAY_GAME_SOUND, payload);
}

// "Version " and the build identifier, cut to 16 characters.
void formatVersion(char (&buffer)[17])
{
    std::snprintf(buffer, sizeof(buffer), "Version %s", MORVELUND_BUILD_ID);
}

} // namespace

Hud::Hud(InventoryProvider* inventoryProvider, ValueProvider* player)
{
    const float s = static_cast<float>(SCREEN_WIDTH) / LAYOUT_WIDTH;
    const float w = static_cast<float>(SCREEN_WIDTH);
    const float h = static_cast<float>(SCREEN_HEIGHT);
    const float smallText = SMALL_TEXT_SCALE * textSize();

    logo = new HudElement(static_cast<int>(20.0f * s), static_cast<int>(h - 250.0f * s), static_cast<int>(800.0f * s),
                          static_cast<int>(200.0f * s), "textures/logo.png", true);
    char version[17];
    formatVersion(version);
    versionText = newText(40.0f * s, h - 220.0f * s - 30.0f * s, version, smallText);
    playText = newText(40.0f * s, h - 400.0f * s, "PLAY", MENU_ENTRY_SCALE * textSize());
    exitText = newText(40.0f * s, h - 500.0f * s, "EXIT", MENU_ENTRY_SCALE * textSize());

    const int sideBarWidth = static_cast<int>(100.0f * s);
    const int sideBarHeight = static_cast<int>(200.0f * s);
    healthBar = new Bar(BAR_MARGIN, BAR_MARGIN, sideBarWidth, sideBarHeight, BAR_MAX_VALUE, BAR_DIRECTION_VERTICAL,
                        "textures/healthbar.png", "textures/healthbar_frame.png", player, VALUE_PLAYER_HEALTH);
    powerBar = new Bar(static_cast<int>(w - 110.0f * s), BAR_MARGIN, sideBarWidth, sideBarHeight, BAR_MAX_VALUE,
                       BAR_DIRECTION_VERTICAL, "textures/powerbar.png", "textures/healthbar_frame.png", player,
                       VALUE_PLAYER_POWER);
    expBar = new Bar(static_cast<int>(300.0f * s), BAR_MARGIN, static_cast<int>(w - 600.0f * s),
                     static_cast<int>(30.0f * s), BAR_MAX_VALUE, BAR_DIRECTION_HORIZONTAL, "textures/expbar.png",
                     "textures/expbar_frame.png", player, VALUE_PLAYER_EXPERIENCE);
    this->player = player;
    elements = {healthBar, powerBar, expBar};

    fpsText = newText(10.0f, h - 30.0f * s, "75", smallText);
    levelText = newText(190.0f * s, 16.0f * s, "Level 1", smallText);
    // The side bars' heights are scaled but their margin is not: the numbers
    // over them keep the gap to the bars' tops scaled like the rest.
    const float overBars = 215.0f * s + BAR_MARGIN * (1.0f - textSize());
    healthText = newText(12.0f * s, overBars, "100/100", smallText);
    powerText = newText(w - 110.0f * s, overBars, "100/100", smallText);
    worldMap = new WorldMap();
    levelNameText = newText(10.0f * s, h - 30.0f * s, "Unknown level", SMALL_TEXT_SCALE);
    levelBanner = newText(10.0f * s, h - 30.0f * s, "Unknown level", SMALL_TEXT_SCALE);
    levelBanner->visible = false;
    texts = {fpsText, levelText, healthText, powerText, levelNameText, levelBanner};

    inventory = new Inventory(inventoryProvider, static_cast<int>(w * 0.5f - INVENTORY_WIDTH / 2),
                              static_cast<int>(h * 0.5f - INVENTORY_HEIGHT / 2), INVENTORY_WIDTH, INVENTORY_HEIGHT,
                              "textures/inventory_background.png");
    inventory->setActive(false);
}

Hud::~Hud()
{
    delete logo;
    delete versionText;
    delete playText;
    delete exitText;
    for (HudElement* element : elements)
        delete element;
    for (Text* text : texts)
        delete text;
    for (HudElement* buff : buffs)
        delete buff;
    delete inventory;
    delete worldMap;
}

void Hud::configureSkillButton(int number, SkillInterface* skill, ValueProvider* cooldownProvider, char hotKey)
{
    elements.push_back(new Button(number, SKILL_BUTTON_X0 + SKILL_BUTTON_PITCH * number, SKILL_BUTTON_Y,
                                  SKILL_BUTTON_SIZE, SKILL_BUTTON_SIZE, hotKey, skill->getTexturePath(),
                                  "textures/skill_frame.png", this, cooldownProvider));
    skills[number - 1] = skill;
}

void Hud::configureSkillButton1(SkillInterface* skill, ValueProvider* cooldownProvider, char hotKey)
{
    configureSkillButton(1, skill, cooldownProvider, hotKey);
}

void Hud::configureSkillButton2(SkillInterface* skill, ValueProvider* cooldownProvider, char hotKey)
{
    configureSkillButton(2, skill, cooldownProvider, hotKey);
}

void Hud::configureSkillButton3(SkillInterface* skill, ValueProvider* cooldownProvider, char hotKey)
{
    configureSkillButton(3, skill, cooldownProvider, hotKey);
}

void Hud::configureSkillButton4(SkillInterface* skill, ValueProvider* cooldownProvider, char hotKey)
{
    configureSkillButton(4, skill, cooldownProvider, hotKey);
}

void Hud::configureSkillButton5(SkillInterface* skill, ValueProvider* cooldownProvider, char hotKey)
{
    configureSkillButton(5, skill, cooldownProvider, hotKey);
}

void Hud::prepareBuff(std::string texture)
{
    HudElement* buff = new HudElement(BUFF_X, SCREEN_HEIGHT - BUFF_TOP_GAP, BUFF_SIZE, BUFF_SIZE, texture, false);
    buff->setActive(false, -1, false);
    buffs.push_back(buff);
    buffTextures.push_back(std::move(texture));
}

bool Hud::setup()
{
    for (HudElement* element : elements) {
        if (!element->setup())
            return false;
    }
    for (Text* text : texts) {
        if (!text->setup())
            return false;
    }
    for (HudElement* buff : buffs) {
        if (!buff->setup())
            return false;
    }
    return inventory->setup() && worldMap->setup() && logo->setup() && versionText->setup() && playText->setup() &&
           exitText->setup();
}

bool Hud::hoverMenuEntry(Text* entry, int mouseX, int mouseY)
{
    const bool hovered = entry->positionInsideText(static_cast<float>(mouseX), static_cast<float>(mouseY));
    const float scale = (hovered ? MENU_HOVER_SCALE : MENU_ENTRY_SCALE) * textSize();
    // Rebuilding the glyphs only when the scale really changes.
    if (!MathUtil::fcmp(entry->getScale(), scale))
        entry->setScale(scale, true);
    return hovered;
}

void Hud::updateMenu(float dt, int mouseX, int mouseY)
{
    logo->update(dt, mouseX, mouseY);
    versionText->update(dt);
    playText->update(dt);
    exitText->update(dt);
    exitHovered = hoverMenuEntry(exitText, mouseX, mouseY);
    playHovered = hoverMenuEntry(playText, mouseX, mouseY);
}

void Hud::updateBuffs(float dt, int mouseX, int mouseY)
{
    activeBuffs = 0;
    for (HudElement* buff : buffs) {
        buff->update(dt, mouseX, mouseY);
        if (buff->getActive())
            ++activeBuffs;
    }
}

void Hud::updateValueTexts()
{
    char buffer[50];
    std::snprintf(buffer, sizeof(buffer), "%d/%d", static_cast<int>(player->getAbsoluteValue(VALUE_PLAYER_HEALTH)),
                  static_cast<int>(player->getMaxValue(VALUE_PLAYER_HEALTH)));
    healthText->setText(buffer);
    std::snprintf(buffer, sizeof(buffer), "%d/%d", static_cast<int>(player->getAbsoluteValue(VALUE_PLAYER_POWER)),
                  static_cast<int>(player->getMaxValue(VALUE_PLAYER_POWER)));
    powerText->setText(buffer);
}

void Hud::update(float dt, int mouseX, int mouseY)
{
    if (menu) {
        updateMenu(dt, mouseX, mouseY);
    } else {
        // Hover belongs to the menu being shown: a pause that brings the menu
        // back must not answer a click with where the pointer was last time.
        exitHovered = false;
        playHovered = false;
    }
    for (HudElement* element : elements)
        element->update(dt, mouseX, mouseY);
    for (Text* text : texts)
        text->update(dt);
    updateBuffs(dt, mouseX, mouseY);
    inventory->update(dt, mouseX, mouseY);
    worldMap->update(dt, mouseX, mouseY);
    updateValueTexts();
}

void Hud::renderMenu(MatrixOwner* camera)
{
    logo->render(camera);
    versionText->render(camera);
    playText->render(camera);
    exitText->render(camera);
}

void Hud::renderGame(MatrixOwner* camera)
{
    for (HudElement* element : elements)
        element->render(camera);
    for (Text* text : texts)
        text->render(camera);
    for (HudElement* buff : buffs)
        buff->render(camera);
    inventory->render(camera);
    worldMap->render(camera);
}

void Hud::render(MatrixOwner* camera)
{
    if (menu)
        renderMenu(camera);
    else
        renderGame(camera);
}

int Hud::mouseClick(int x, int y, mouse_button button)
{
    if (!menu) {
        for (HudElement* element : elements)
            element->mouseClick(x, y, button);
        worldMap->mouseClick(x, y, button);
        inventory->mouseClick(x, y, button);
        return CLICK_NOTHING;
    }
    if (button != MOUSE_BUTTON_LEFT)
        return CLICK_NOTHING;
    if (playHovered)
        return CLICK_PLAY;
    if (exitHovered)
        return CLICK_EXIT;
    return CLICK_NOTHING;
}

void Hud::openInventory()
{
    showAll(true);
    inventory->setActive(true);
    playSound(SOUND_INVENTORY_OPEN_CLOSE);
}

void Hud::openWorldMap()
{
    worldMap->setActive(true, -1, false);
    playSound(SOUND_MAP_OPEN_CLOSE);
    showAll(false);
}

void Hud::hideWorldMap()
{
    worldMap->setActive(false, -1, false);
    showAll(true);
}

void Hud::keyPress(char key)
{
    if (key == 'i') {
        if (worldMap->getActive()) {
            worldMap->setActive(false, -1, false);
            openInventory();
        } else if (inventory->getActive()) {
            inventory->setActive(false);
            showAll(true);
        } else {
            openInventory();
        }
    } else if (key == 'm') {
        if (inventory->getActive()) {
            inventory->setActive(false);
            openWorldMap();
        } else if (worldMap->getActive()) {
            hideWorldMap();
        } else {
            openWorldMap();
        }
    } else if (key == ESCAPE_KEY) {
        if (worldMap->getActive()) {
            hideWorldMap();
        } else {
            if (inventory->getActive())
                inventory->setActive(false);
            showAll(true);
        }
    } else {
        showAll(true);
    }
    for (HudElement* element : elements)
        element->keyPress(key);
}

void Hud::showAll(bool show)
{
    for (Text* text : texts)
        text->visible = show;
    for (HudElement* element : elements)
        element->setActive(show, -1, false);
}

void Hud::showBuff(std::string texture, int seconds)
{
    for (size_t i = 0; i < buffs.size(); ++i) {
        if (buffTextures[i] != texture)
            continue;
        buffs[i]->setActive(true, seconds, true);
        buffs[i]->setPosY(SCREEN_HEIGHT - BUFF_PITCH * activeBuffs - BUFF_TOP_GAP);
    }
}

void Hud::setLevelName(std::string name)
{
    char buffer[50];
    std::snprintf(buffer, sizeof(buffer), "%s", name.c_str());
    const glm::vec2 size = Text::dimensions(buffer);
    const float w = static_cast<float>(SCREEN_WIDTH);
    const float h = static_cast<float>(SCREEN_HEIGHT);

    levelNameText->setPos(w - SMALL_TEXT_SCALE * size.x - LEVEL_NAME_MARGIN,
                          h - SMALL_TEXT_SCALE * size.y - LEVEL_NAME_MARGIN);
    levelNameText->setText(buffer);

    levelBanner->setPos(0.5f * w - 0.5f * size.x, 0.5f * h - 0.5f * size.y);
    levelBanner->setScale(1.0f, false);
    levelBanner->setText(buffer);
    levelBanner->visible = true;
    levelBanner->setFadeToTransparent(BANNER_FADE_SECONDS);
}

void Hud::setPlayerLevel(int level)
{
    char buffer[10];
    std::snprintf(buffer, sizeof(buffer), "Level %d", level);
    levelText->setText(buffer);
}

void Hud::setFPS(int fps)
{
    char buffer[5];
    std::snprintf(buffer, sizeof(buffer), "%d", fps);
    fpsText->setText(buffer);
}

bool Hud::inventoryActive() const
{
    return inventory->getActive();
}

bool Hud::worldMapActive() const
{
    return worldMap->getActive();
}

void Hud::buttonClicked(Button* button)
{
    const int id = button->getId();
    if (id < 1 || id > SKILL_COUNT || skills[id - 1] == nullptr)
        return;
    const bool fired = skills[id - 1]->use();
    if (id != 1)
        return;
    if (fired)
        button->alpha = 0.5f;
    else
        playSound(SOUND_NO_POWER);
}
