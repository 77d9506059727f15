#pragma once

#include <string>

#include <GL/glew.h>

#include "hud/MouseButton.h"
#include "render/ScreenQuad.h"

// A picture of the HUD: a textured screen rectangle that can be shown,
// hidden, shown for some seconds and made to blink, and that receives the
// frame update, clicks and key presses the HUD hands down. Bars, buttons,
// the inventory window and the world map are HUD elements.
class HudElement : public ScreenQuad {
public:
    HudElement(int x, int y, int w, int h, std::string texturePath, bool blend);
    ~HudElement() override;

    // Takes the picture from the texture cache, then sets up the quad.
    virtual bool setup();
    virtual void render(MatrixOwner* camera);
    // Runs a timed show; the mouse position is for subclasses.
    virtual void update(float dt, int mouseX, int mouseY);
    virtual void mouseClick(int x, int y, mouse_button button);
    virtual void keyPress(char key);

    // Shows or hides; seconds > 0 also starts a timed show of that length,
    // which ends hidden. Plain show/hide passes seconds = -1, blink = false.
    void setActive(bool active, int seconds, bool blink);
    // Shown, or in a timed show (also during its blink-off phases).
    bool getActive() const;
    // Strictly inside the rectangle; a point on the edge is outside.
    bool inside(int x, int y) const;

protected:
    // Draws the element, then 'cover' (its frame or overlay) with the given
    // texture over it, alpha-blended and with the depth test off.
    void renderCovered(MatrixOwner* camera, ScreenQuad* cover, GLuint coverTexture);

    bool blend;
    bool active = true;
    float showTimer = 0.0f;  // seconds left of a timed show
    float blinkClock = 0.0f; // seconds since the last blink toggle
    bool blink = false;
    std::string texturePath;
    GLuint textureId = 0;
};
