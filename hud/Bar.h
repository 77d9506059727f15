#pragma once

#include <string>

#include <GL/glew.h>

#include "hud/BarDirection.h"
#include "hud/HudElement.h"

class ValueProvider;

// A value bar: the element's own picture is the fill, which follows a
// fraction read from a ValueProvider every frame, and a frame picture is
// drawn over it. The HUD shows the player's health, power and experience
// with bars; enemies and bosses carry one over their heads.
class Bar : public HudElement {
public:
    // The provider is not owned and may be null (the bar then keeps its last
    // fraction, 1.0 at first). maxValue is kept but not used.
    Bar(int x, int y, int w, int h, int maxValue, bar_direction direction, std::string fillTexture,
        std::string frameTexture, ValueProvider* provider, int valueId);
    ~Bar() override;

    bool setup() override;
    // Moves frame and fill; the fill shows whole until the next update.
    void setPos(int x, int y) override;
    // Reads the fraction and lays the fill out for it, then runs a timed show.
    void update(float dt, int mouseX, int mouseY) override;
    void render(MatrixOwner* camera) override;

    // The number the bar stands for at full; kept for its owner, not drawn.
    void setMaxValue(int value) { maxValue = value; }
    int getMaxValue() const { return maxValue; }

protected:
    void layOutVertical(float fraction, float dt);
    void layOutHorizontal(float fraction);

    float swayPhase; // a vertical fill's sideways slosh
    ScreenQuad* frame;
    float value = 1.0f; // last fraction read
    int maxValue;
    bar_direction direction;
    ValueProvider* provider;
    std::string frameTexturePath;
    GLuint frameTextureId = 0;
    int valueId;
};
