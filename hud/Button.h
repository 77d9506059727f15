#pragma once

#include <string>

#include <GL/glew.h>

#include "hud/HudElement.h"

class ClickInterface;
class Text;
class ValueProvider;

// A skill button of the HUD: the skill's icon with a frame drawn over it, the
// whole seconds of cooldown left as a number, and a hot key. Clicks inside
// it and its hot key are reported to the listener, whether it is shown or
// not. Listener and cooldown provider are not owned and must outlive it.
class Button : public HudElement {
public:
    Button(int id, int x, int y, int w, int h, char hotKey, std::string texture, std::string overlayTexture,
           ClickInterface* listener, ValueProvider* cooldownProvider);
    ~Button() override;

    // Overlay, then the cooldown text, then the icon.
    bool setup() override;
    // Shows the cooldown left, rounded up to whole seconds, while there is one.
    void update(float dt, int mouseX, int mouseY) override;
    void render(MatrixOwner* camera) override;
    // Any mouse button clicks it.
    void mouseClick(int x, int y, mouse_button button) override;
    void keyPress(char key) override;

    int getId() const;

protected:
    // Writes the cooldown number when its whole seconds change, or hides it.
    void showCooldown();

    // Whole seconds the cooldown text shows no number for yet.
    static constexpr int NO_SECONDS_SHOWN = -1;

    ScreenQuad* overlay;
    Text* cooldownText = nullptr;
    int shownSeconds = NO_SECONDS_SHOWN;
    int id;
    std::string overlayTexturePath;
    ValueProvider* cooldownProvider;
    GLuint overlayTextureId = 0;
    char hotKey;
    ClickInterface* listener;
};
