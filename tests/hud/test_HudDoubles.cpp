#include "test_HudDoubles.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <stb_image_write.h>

#include "core/MailBox.h"
#include "core/Util.h"
#include "game/InventoryProviderHelper.h"

const char* const REGEN_ICON = "textures/skill_regen.png";
const char* const BERSERKER_ICON = "textures/skill_berserker.png";

const glm::u8vec4 BACKGROUND_COLOUR(110, 70, 40, 255);
const glm::u8vec4 HOVER_EPIC_COLOUR(150, 40, 200, 255);
const glm::u8vec4 HOVER_RARE_COLOUR(220, 200, 30, 255);
const glm::u8vec4 HOVER_MAGIC_COLOUR(40, 90, 230, 255);
const glm::u8vec4 HOVER_NORMAL_COLOUR(120, 120, 120, 255);

GLContext* FullWindowTest::context = nullptr;

namespace {

const int SCREEN_W = 1920;
const int SCREEN_H = 1080;

const int ATLAS_CELL = 16;
const int ATLAS_CELLS = 16;
const int ATLAS_RING = 4;

// Rows from the top of the picture, as PNG stores them.
std::string png(int width, int height, const std::vector<glm::u8vec4>& pixels)
{
    return encodePngBytes(width, height, 4, pixels.data());
}

std::string flatPng(const glm::u8vec4& colour)
{
    return png(4, 4, std::vector<glm::u8vec4>(16, colour));
}

bool isQualityFrame(int column, int row)
{
    return row == 0 && column < 4;
}

std::string atlasPng()
{
    const int side = ATLAS_CELL * ATLAS_CELLS;
    std::vector<glm::u8vec4> pixels(static_cast<size_t>(side * side));
    for (int top = 0; top < side; ++top) {
        for (int px = 0; px < side; ++px) {
            // The picture is loaded flipped: row 0 of the atlas is at its bottom.
            const int up = side - 1 - top;
            const int column = px / ATLAS_CELL;
            const int row = up / ATLAS_CELL;
            const int cx = px % ATLAS_CELL;
            const int cy = up % ATLAS_CELL;
            const bool rim = std::min({cx, cy, ATLAS_CELL - 1 - cx, ATLAS_CELL - 1 - cy}) < ATLAS_RING;
            const bool drawn = isQualityFrame(column, row) ? rim : !rim;
            pixels[static_cast<size_t>(top * side + px)] = drawn ? atlasCellColour(column, row) : glm::u8vec4(0);
        }
    }
    return png(side, side, pixels);
}

std::string gameShader(const std::string& name)
{
    return readFileBytes(std::string(MORVELUND_SOURCE_DIR) + "/data/shaders/" + name);
}

std::map<std::string, std::string> screenPackage()
{
    return {
        {"shaders/basicortho.vs", gameShader("basicortho.vs")},
        {"shaders/basicortho.fs", gameShader("basicortho.fs")},
        {"shaders/text.vs", gameShader("text.vs")},
        {"shaders/text.fs", gameShader("text.fs")},
        {"textures/font.png", flatPng(glm::u8vec4(255))},
        {"textures/inventory_background.png", flatPng(BACKGROUND_COLOUR)},
        {"textures/hoverbg_epic.png", flatPng(HOVER_EPIC_COLOUR)},
        {"textures/hoverbg_rare.png", flatPng(HOVER_RARE_COLOUR)},
        {"textures/hoverbg_magic.png", flatPng(HOVER_MAGIC_COLOUR)},
        {"textures/hoverbg_normal.png", flatPng(HOVER_NORMAL_COLOUR)},
        {"textures/itematlas.png", atlasPng()},
        {"textures/worldmap.png", flatPng(glm::u8vec4(30, 120, 60, 255))},
        {"textures/logo.png", flatPng(glm::u8vec4(200, 160, 40, 255))},
    };
}

std::string buildDir()
{
    const std::string binary = MORVELUND_BINARY;
    return binary.substr(0, binary.find_last_of('/'));
}

} // namespace

uint32_t itemCode(int level, item_slot slot, item_quality quality, int seed)
{
    return static_cast<uint32_t>(level) | (static_cast<uint32_t>(slot) << 8) |
           (static_cast<uint32_t>(quality) << 12) | (static_cast<uint32_t>(seed) << 16);
}

glm::u8vec4 atlasCellColour(int column, int row)
{
    return glm::u8vec4(column * 16 + 8, row * 16 + 8, 200, 255);
}

FakeInventory::~FakeInventory()
{
    for (ItemInstance* item : items)
        delete item;
}

ItemInstance* FakeInventory::put(uint32_t code, int location)
{
    items.push_back(new ItemInstance(code, location));
    return items.back();
}

void FakeInventory::fillBag(int except)
{
    for (int cell = 0; cell < 130; ++cell) {
        if (cell != except)
            put(itemCode(1, FINGER, NORMAL, cell + 1), cell);
    }
}

ItemInstance* FakeInventory::getItemAtLocation(int location)
{
    for (ItemInstance* item : items) {
        if (item->location == location)
            return item;
    }
    return nullptr;
}

bool FakeInventory::addItem(unsigned int code)
{
    for (int cell = 0; cell < 130; ++cell) {
        if (getItemAtLocation(cell) == nullptr) {
            put(code, cell);
            return true;
        }
    }
    return false;
}

bool FakeInventory::removeItem(ItemInstance* item)
{
    auto found = std::find(items.begin(), items.end(), item);
    if (found == items.end())
        return false;
    delete item;
    items.erase(found);
    return true;
}

float FakePlayerValues::getValue(int id)
{
    return getMaxValue(id) > 0.0f ? getAbsoluteValue(id) / getMaxValue(id) : 1.0f;
}

float FakePlayerValues::getMaxValue(int id)
{
    return id == VALUE_PLAYER_HEALTH ? maxHealth : id == VALUE_PLAYER_POWER ? maxPower : 0.0f;
}

float FakePlayerValues::getAbsoluteValue(int id)
{
    return id == VALUE_PLAYER_HEALTH ? health : id == VALUE_PLAYER_POWER ? power : 0.0f;
}

BusRecorder::BusRecorder()
{
    MailBox::getInstance()->clear();
    MailBox::getInstance()->registerReceiver(this, MESSAGE_PLAY_GAME_SOUND);
    MailBox::getInstance()->registerReceiver(this, MESSAGE_LOAD_LEVEL);
}

BusRecorder::~BusRecorder()
{
    MailBox::getInstance()->clear();
}

void BusRecorder::handleMessage(Message message, MessagePayload* payload)
{
    records.push_back(Record{message, payload->getInt(), payload->getString()});
    if (onMessage)
        onMessage(records.back());
}

std::vector<int> BusRecorder::sounds() const
{
    std::vector<int> ids;
    for (const Record& record : records) {
        if (record.message == MESSAGE_PLAY_GAME_SOUND)
            ids.push_back(record.number);
    }
    return ids;
}

InventoryProbe::InventoryProbe(InventoryProvider* provider)
    : Inventory(provider, X, Y, 1024, 512, "textures/inventory_background.png")
{
}

GameHud::GameHud()
{
    reset();
}

void GameHud::reset()
{
    hud = std::make_unique<HudProbe>(&bag, &values);
    hud->configureSkillButton1(&skills[0], &skills[0], '1');
    hud->configureSkillButton2(&skills[1], &skills[1], '2');
    hud->configureSkillButton3(&skills[2], &skills[2], '3');
    hud->configureSkillButton4(&skills[3], &skills[3], '4');
    hud->configureSkillButton5(&skills[4], &skills[4], '5');
    hud->prepareBuff(REGEN_ICON);
    hud->prepareBuff(BERSERKER_ICON);
}

WindowCamera::WindowCamera() : ScreenCamera(SCREEN_WIDTH, SCREEN_HEIGHT) {}

void FullWindowTest::SetUpTestSuite()
{
    context = new GLContext(SCREEN_W, SCREEN_H);
}

void FullWindowTest::TearDownTestSuite()
{
    delete context;
    context = nullptr;
}

void FullWindowTest::openFrame()
{
    ASSERT_TRUE(context->ok()) << context->error();
    context->clear();
}

void HudScreenTest::SetUp()
{
    openFrame();
    if (HasFatalFailure())
        return;
    package = std::make_unique<TestPackage>(screenPackage());
    ASSERT_TRUE(package->ok());
}

void saveScreenshot(const std::string& name)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(SCREEN_W * SCREEN_H * 4));
    glFinish();
    glReadPixels(0, 0, SCREEN_W, SCREEN_H, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    const std::string dir = buildDir() + "/screenshots";
    mkdir(dir.c_str(), 0755);
    // GL reads from the bottom row up; the picture starts at the top.
    stbi_flip_vertically_on_write(1);
    stbi_write_png((dir + "/" + name + ".png").c_str(), SCREEN_W, SCREEN_H, 4, pixels.data(), SCREEN_W * 4);
    stbi_flip_vertically_on_write(0);
}

void RealPackageTest::SetUp()
{
    openFrame();
    if (HasFatalFailure())
        return;
    const std::string generated = std::string(MORVELUND_DATA_DIR) + "/data.mv2";
    FILE* file = std::fopen(generated.c_str(), "rb");
    if (file == nullptr)
        GTEST_SKIP() << "the build has not made " << generated << " yet";
    std::fclose(file);
    dir = std::make_unique<TempDir>();
    dir->write("data.mv2", readFileBytes(generated));
    inDir = std::make_unique<ScopedChdir>(dir->path());
}
