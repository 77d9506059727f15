#pragma once

#include "support/TestPictures.h"

// Stand-ins for the player and the skills as the HUD, the inventory window,
// the world map and the combat numbers see them; a recorder of what they
// send over the bus; and a 1920 x 1080 GL fixture for the drawing tests.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <glm/glm.hpp>

#include "core/MessageReceiver.h"
#include "game/Followable.h"
#include "game/InventoryProvider.h"
#include "game/Item.h"
#include "game/ItemInstance.h"
#include "game/SkillInterface.h"
#include "game/ValueProvider.h"
#include "hud/Hud.h"
#include "hud/Inventory.h"
#include "render/MatrixOwner.h"
#include "GLContext.h"
#include "support/TempDir.h"
#include "support/TestPackage.h"

// An item code from its four fields.
uint32_t itemCode(int level, item_slot slot, item_quality quality, int seed);

// A bag and equipment slots that hold whatever the test puts there.
class FakeInventory : public InventoryProvider {
public:
    ~FakeInventory();

    ItemInstance* put(uint32_t code, int location);
    // Fills every bag cell but 'except' (-1 for none) with plain rings.
    void fillBag(int except);

    int getNumItems() override { return static_cast<int>(items.size()); }
    ItemInstance* getItem(int index) override { return items[static_cast<size_t>(index)]; }
    ItemInstance* getItemAtLocation(int location) override;
    bool addItem(unsigned int code) override;
    bool removeItem(ItemInstance* item) override;

    int getEquippedStrength() override { return 1; }
    int getEquippedArmor() override { return 2; }
    int getEquippedHealth() override { return 3; }
    int getEquippedHealthRegen() override { return 4; }
    int getEquippedPower() override { return 5; }
    int getEquippedPowerRegen() override { return 6; }
    int getBaseStrength() override { return 10; }
    int getBaseArmor() override { return 20; }
    int getBaseHealth() override { return 30; }
    int getBaseHealthRegen() override { return 40; }
    int getBasePower() override { return 50; }
    int getBasePowerRegen() override { return 60; }

    std::vector<ItemInstance*> items;
};

// The player's health and power as numbers the test sets.
class FakePlayerValues : public ValueProvider {
public:
    float health = 100.0f;
    float maxHealth = 100.0f;
    float power = 100.0f;
    float maxPower = 100.0f;

    float getValue(int id) override;
    float getMaxValue(int id) override;
    float getAbsoluteValue(int id) override;
};

// A skill that fires when 'ready' and counts its uses; also its own cooldown.
class FakeSkill : public SkillInterface, public ValueProvider {
public:
    explicit FakeSkill(std::string icon) : icon(std::move(icon)) {}

    bool use() override
    {
        ++uses;
        return ready;
    }
    std::string getTexturePath() override { return icon; }
    float getValue(int) override { return -1.0f; }
    float getMaxValue(int) override { return 0.0f; }
    float getAbsoluteValue(int) override { return 0.0f; }

    std::string icon;
    bool ready = true;
    int uses = 0;
};

// Something standing still in the world.
class FixedTarget : public Followable {
public:
    explicit FixedTarget(const glm::vec3& position) : position(position) {}
    glm::vec3 getPosition() override { return position; }
    glm::vec3 position;
};

// Records every message of the kinds it is registered for. The bus is
// cleared when the recorder ends.
class BusRecorder : public MessageReceiver {
public:
    struct Record {
        Message message;
        int number;
        std::string text;
    };

    BusRecorder();
    ~BusRecorder() override;

    void handleMessage(Message message, MessagePayload* payload) override;
    const char* whoIsThere() override { return "BusRecorder"; }
    // The game_sound ids of the sound requests, in order.
    std::vector<int> sounds() const;

    std::vector<Record> records;
    // Called on every delivery, for tests that look at the sender meanwhile.
    std::function<void(const Record&)> onMessage;
};

// The inventory window where the HUD puts it in a 1920 x 1080 window, with
// its hand and quads open to the tests.
class InventoryProbe : public Inventory {
public:
    static constexpr int X = 448;
    static constexpr int Y = 284;

    explicit InventoryProbe(InventoryProvider* provider);
    using Inventory::atlasTextureId;
    using Inventory::heldItem;
    using Inventory::heldOrigin;
    using Inventory::hoveredItem;
    using Inventory::hoverQuad;
    using Inventory::itemQuad;
};

// The HUD with its parts open to the tests.
class HudProbe : public Hud {
public:
    using Hud::Hud;
    using Hud::buffs;
    using Hud::elements;
    using Hud::exitText;
    using Hud::expBar;
    using Hud::fpsText;
    using Hud::healthBar;
    using Hud::healthText;
    using Hud::inventory;
    using Hud::levelBanner;
    using Hud::levelNameText;
    using Hud::levelText;
    using Hud::logo;
    using Hud::playText;
    using Hud::powerBar;
    using Hud::powerText;
    using Hud::texts;
    using Hud::versionText;
    using Hud::worldMap;
};

extern const char* const REGEN_ICON;
extern const char* const BERSERKER_ICON;

// The HUD as the game makes it: the five skills on '1' to '5' and the
// regeneration and berserker buffs prepared; not set up.
struct GameHud {
    GameHud();
    // Makes the HUD anew at the current window size.
    void reset();

    FakeInventory bag;
    FakePlayerValues values;
    FakeSkill skills[Hud::SKILL_COUNT] = {FakeSkill("textures/skill_teleport.png"), FakeSkill(REGEN_ICON),
                                          FakeSkill(BERSERKER_ICON), FakeSkill("textures/skill_bladestorm.png"),
                                          FakeSkill("textures/skill_fireball.png")};
    std::unique_ptr<HudProbe> hud;
};

// The orthographic window camera of the game at the current window size.
class WindowCamera : public ScreenCamera {
public:
    WindowCamera();
};

// Pictures of the drawing test package.
extern const glm::u8vec4 BACKGROUND_COLOUR;
extern const glm::u8vec4 HOVER_EPIC_COLOUR;
extern const glm::u8vec4 HOVER_RARE_COLOUR;
extern const glm::u8vec4 HOVER_MAGIC_COLOUR;
extern const glm::u8vec4 HOVER_NORMAL_COLOUR;
// The test atlas: every cell a flat colour naming its column and row, the
// four quality frames a ring of colour around a clear middle, every other
// icon clear at its rim.
glm::u8vec4 atlasCellColour(int column, int row);

// Saves the frame drawn so far as <build>/screenshots/<name>.png.
void saveScreenshot(const std::string& name);

// One hidden 1920 x 1080 window per suite, cleared black before each test.
class FullWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    // Fails the test when the window could not be made.
    void openFrame();

    glm::u8vec4 pixel(int x, int y) const { return context->readPixel(x, y); }

    static GLContext* context;
};

// Runs each test in a package of the game's screen shaders and flat test
// pictures for the HUD's pictures.
class HudScreenTest : public FullWindowTest {
protected:
    void SetUp() override;

    std::unique_ptr<TestPackage> package;
};

// Runs its tests in a copy of the package the build generated, with the real
// pictures; skips them when the build has not made the package yet.
class RealPackageTest : public FullWindowTest {
protected:
    void SetUp() override;

    std::unique_ptr<TempDir> dir;
    std::unique_ptr<ScopedChdir> inDir;
};
