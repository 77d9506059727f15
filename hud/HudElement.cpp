#include "hud/HudElement.h"

#include <utility>

#include "render/TextureManager.h"

namespace {

const char* const HUD_VERTEX_SHADER = "shaders/basicortho.vs";
const char* const HUD_FRAGMENT_SHADER = "shaders/basicortho.fs";
// A blinking show toggles once more than this many seconds have gathered.
const float BLINK_INTERVAL = 0.5f;

} // namespace

HudElement::HudElement(int x, int y, int w, int h, std::string texturePath, bool blend)
    : ScreenQuad(x, y, w, h, HUD_VERTEX_SHADER, HUD_FRAGMENT_SHADER)
    , blend(blend)
    , texturePath(std::move(texturePath))
{
}

HudElement::~HudElement()
{
    // Only a reference actually taken is given back, so an element that was
    // never set up cannot release a picture other elements still show.
    if (textureId != 0)
        TextureManager::getInstance()->freeTexture(texturePath);
}

bool HudElement::setup()
{
    textureId = TextureManager::getInstance()->loadTexture(texturePath, true);
    return ScreenQuad::setup();
}

void HudElement::render(MatrixOwner* camera)
{
    if (!active)
        return;
    setTexture(textureId);
    if (blend) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    ScreenQuad::render(camera);
    if (blend)
        glDisable(GL_BLEND);
}

void HudElement::renderCovered(MatrixOwner* camera, ScreenQuad* cover, GLuint coverTexture)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    HudElement::render(camera);
    cover->setTexture(coverTexture);
    cover->render(camera);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}

void HudElement::update(float dt, int /*mouseX*/, int /*mouseY*/)
{
    if (showTimer <= 0.0f)
        return;
    showTimer -= dt;
    blinkClock += dt;
    if (blink && blinkClock > BLINK_INTERVAL) {
        active = !active;
        blinkClock = 0.0f;
    }
    // After the blink toggle, so a blinking show always ends hidden. A timer
    // that lands exactly on 0 ends the show too; otherwise the element would
    // be left shown with no timer to hide it.
    if (showTimer <= 0.0f) {
        active = false;
        blinkClock = 0.0f;
    }
}

void HudElement::mouseClick(int /*x*/, int /*y*/, mouse_button /*button*/)
{
}

void HudElement::keyPress(char /*key*/)
{
}

void HudElement::setActive(bool active, int seconds, bool blink)
{
    if (seconds > 0)
        showTimer = static_cast<float>(seconds);
    this->blink = blink;
    this->active = active;
}

bool HudElement::getActive() const
{
    return active || showTimer > 0.0f;
}

bool HudElement::inside(int x, int y) const
{
    const float px = static_cast<float>(x);
    const float py = static_cast<float>(y);
    return this->x < px && px < this->x + width && this->y < py && py < this->y + height;
}
