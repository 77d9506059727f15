#pragma once

#include <string>
#include <vector>

#include "hud/ClickInterface.h"
#include "hud/MouseButton.h"

class Bar;
class HudElement;
class Inventory;
class InventoryProvider;
class MatrixOwner;
class SkillInterface;
class Text;
class ValueProvider;
class WorldMap;

// The game's whole screen interface, one object for the whole run, owned by
// the game. It has two faces, chosen by the public 'menu' flag that the frame
// loop sets and clears: the menu (logo, version, PLAY and EXIT) at the start
// and while paused, and the in-game HUD (health, power and experience bars,
// five skill buttons, buff icons, texts, the inventory window and the world
// map). It routes clicks and keys to its elements, answers the frame loop
// with the menu choice and fires a skill when its button is clicked.
//
// Menu items, bars and texts are placed scaled by SCREEN_WIDTH / 1980, and
// the texts' sizes follow SCREEN_WIDTH / 1920 (full size at 1920 x 1080); the
// skill buttons, buff icons and the two windows are in unscaled pixels.
class Hud : public ClickInterface {
public:
    static constexpr int SKILL_COUNT = 5;
    // What mouseClick answers.
    static constexpr int CLICK_NOTHING = 0;
    static constexpr int CLICK_EXIT = 1;
    static constexpr int CLICK_PLAY = 2;

    // Lays everything out; no GL work. Both providers (the player) are not
    // owned and must outlive the HUD.
    Hud(InventoryProvider* inventoryProvider, ValueProvider* player);
    virtual ~Hud();
    Hud(const Hud&) = delete;
    Hud& operator=(const Hud&) = delete;

    // The skill buttons 1 to 5 and their hot keys; called before setup. The
    // skill and its cooldown provider are not owned.
    void configureSkillButton1(SkillInterface* skill, ValueProvider* cooldownProvider, char hotKey);
    void configureSkillButton2(SkillInterface* skill, ValueProvider* cooldownProvider, char hotKey);
    void configureSkillButton3(SkillInterface* skill, ValueProvider* cooldownProvider, char hotKey);
    void configureSkillButton4(SkillInterface* skill, ValueProvider* cooldownProvider, char hotKey);
    void configureSkillButton5(SkillInterface* skill, ValueProvider* cooldownProvider, char hotKey);
    // A hidden buff icon that showBuff can find by its picture; before setup.
    void prepareBuff(std::string texture);

    // Sets up everything; false at the first part that fails.
    bool setup();
    // Menu hover, elements, texts, buffs, windows, then the health and power numbers.
    void update(float dt, int mouseX, int mouseY);
    void render(MatrixOwner* camera);
    // CLICK_PLAY or CLICK_EXIT for a left click in the menu on a hovered
    // entry, else CLICK_NOTHING. In play the click goes to the elements and
    // the two windows.
    int mouseClick(int x, int y, mouse_button button);
    // Opens and closes the windows ('i', 'm', Escape), then hands the key to
    // every element (the skill hot keys).
    void keyPress(char key);

    // Shows or hides the bars, buttons and in-game texts.
    void showAll(bool show);
    // Starts a blinking timed show of the buff icon with that picture.
    void showBuff(std::string texture, int seconds);
    // The name at the top right, and a banner in the middle that fades out.
    void setLevelName(std::string name);
    void setPlayerLevel(int level);
    void setFPS(int fps);
    bool inventoryActive() const;
    bool worldMapActive() const;

    void buttonClicked(Button* button) override;

protected:
    void configureSkillButton(int number, SkillInterface* skill, ValueProvider* cooldownProvider, char hotKey);
    // Grows a menu entry under the pointer; true when it is hovered.
    static bool hoverMenuEntry(Text* entry, int mouseX, int mouseY);
    void updateMenu(float dt, int mouseX, int mouseY);
    void updateBuffs(float dt, int mouseX, int mouseY);
    void updateValueTexts();
    void renderMenu(MatrixOwner* camera);
    void renderGame(MatrixOwner* camera);
    void openInventory();
    void openWorldMap();
    void hideWorldMap();

    Bar* healthBar;
    Bar* powerBar;
    Bar* expBar;
    Text* fpsText;
    Text* levelText;
    Inventory* inventory;
    WorldMap* worldMap;
    Text* levelNameText;
    Text* levelBanner;
    HudElement* logo;
    Text* versionText;
    Text* playText;
    Text* exitText;
    Text* healthText;
    Text* powerText;
    ValueProvider* player;
    SkillInterface* skills[SKILL_COUNT] = {};
    std::vector<HudElement*> elements;
    std::vector<HudElement*> buffs;
    // The picture of each buff icon, in the order of 'buffs'.
    std::vector<std::string> buffTextures;
    std::vector<Text*> texts;
    int activeBuffs = 0;

public:
    bool menu = false;

protected:
    bool exitHovered = false;
    bool playHovered = false;
};
