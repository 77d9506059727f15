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
// Centres and radius are where the picture shows the places in a 1920 x 1080
// window; the picture is stretched over the window, so they are scaled with it.
const TravelPlace TRAVEL_PLACES[] = {
    {glm::vec2(176.0f, 402.0f), "levels/level1_1.xml"},
    {glm::vec2(802.0f, 848.0f), "levels/level2_1.xml"},
    {glm::vec2(1666.0f, 697.0f), "levels/level3_1.xml"},
    {glm::vec2(1043.0f, 432.0f), "levels/level0.xml"},
};
const float PLACE_RADIUS = 25.0f;
const float PICTURE_WIDTH = 1920.0f;
const float PICTURE_HEIGHT = 1080.0f;

// Window pixel of a point of the picture in the current window.
glm::vec2 placeCentre(glm::vec2 onPicture)
{
    return onPicture * glm::vec2(static_cast<float>(SCREEN_WIDTH) / PICTURE_WIDTH,
                                 static_cast<float>(SCREEN_HEIGHT) / PICTURE_HEIGHT);
}

// The three window sizes share one aspect, so the radius follows the width.
float placeRadius()
{
    return PLACE_RADIUS * (static_cast<float>(SCREEN_WIDTH) / PICTURE_WIDTH);
}

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
        if (!MathUtil::pointInsideCircle(point, placeCentre(place.centre), placeRadius()))
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
