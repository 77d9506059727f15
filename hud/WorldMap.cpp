#include "hud/WorldMap.h"

#include <glm/glm.hpp>

#include "core/MailBox.h"
#include "core/MathUtil.h"
#include "core/Util.h"

namespace {

struct TravelPlace {
    glm::vec2 centre;
    const char* levelFile;
};

// Tested in this order; a click strictly closer than the radius travels.
const TravelPlace TRAVEL_PLACES[] = {
    {glm::vec2(176.0f, 402.0f), "levels/level1_1.xml"},
    {glm::vec2(802.0f, 848.0f), "levels/level2_1.xml"},
    {glm::vec2(1666.0f, 697.0f), "levels/level3_1.xml"},
    {glm::vec2(1043.0f, 432.0f), "levels/level0.xml"},
};
const float PLACE_RADIUS = 25.0f;

} // namespace

WorldMap::WorldMap()
    : HudElement(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, "textures/worldmap.png", false)
{
    active = false;
}

WorldMap::~WorldMap() = default;

void WorldMap::mouseClick(int x, int y, mouse_button button)
{
    if (button != MOUSE_BUTTON_LEFT || !getActive())
        return;
    const glm::vec2 point(static_cast<float>(x), static_cast<float>(y));
    for (const TravelPlace& place : TRAVEL_PLACES) {
        if (!MathUtil::pointInsideCircle(point, place.centre, PLACE_RADIUS))
            continue;
        // The game loads the level inside this call, while the map still
        // shows; only then does the map close.
        MessagePayload* payload = new MessagePayload();
        payload->setString(place.levelFile);
        MailBox::getInstance()->sendMessage(MESSAGE_LOAD_LEVEL, payload);
        active = false;
        return;
    }
}
