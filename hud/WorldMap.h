#pragma once

#include "hud/HudElement.h"

// The travel map: one picture over the whole window with four places on it,
// the town and the first floor of each dungeon. A left click on a place asks
// the game (over the bus) to load that level and closes the map. The picture
// is stretched over the window and the places move and shrink with it, so a
// click answers where a place is drawn at every window size. The HUD owns it
// and opens it with 'm'.
class WorldMap : public HudElement {
public:
    // Hidden until the HUD shows it.
    WorldMap();
    ~WorldMap() override;

    void mouseClick(int x, int y, mouse_button button) override;
};
