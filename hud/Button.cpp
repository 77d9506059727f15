#include "hud/Button.h"

#include <cstdio>
#include <utility>

#include "core/Log.h"
#include "game/ValueProvider.h"
#include "hud/ClickInterface.h"
#include "render/Text.h"
#include "render/TextureManager.h"

namespace {

const float COOLDOWN_TEXT_SCALE = 0.5f;
const int MAX_WHOLE_SECONDS = 9998;

} // namespace

Button::Button(int id, int x, int y, int w, int h, char hotKey, std::string texture, std::string overlayTexture,
               ClickInterface* listener, ValueProvider* cooldownProvider)
    : HudElement(x, y, w, h, std::move(texture), false)
    , overlay(new ScreenQuad(x, y, w, h, "shaders/basicortho.vs", "shaders/basicortho.fs"))
    , id(id)
    , overlayTexturePath(std::move(overlayTexture))
    , cooldownProvider(cooldownProvider)
    , hotKey(hotKey)
    , listener(listener)
{
}

Button::~Button()
{
    delete cooldownText;
    delete overlay;
    if (overlayTextureId != 0)
        TextureManager::getInstance()->freeTexture(overlayTexturePath);
}

bool Button::setup()
{
    overlayTextureId = TextureManager::getInstance()->loadTexture(overlayTexturePath, true);
    if (!overlay->setup())
        return false;
    cooldownText = new Text(x + width / 3.0f, y + 0.25f * height, "9", COOLDOWN_TEXT_SCALE, glm::vec3(1.0f),
                            "textures/font.png");
    if (!cooldownText->setup()) {
        log_error("Failed to setup button text");
        return false;
    }
    return HudElement::setup();
}

void Button::update(float dt, int mouseX, int mouseY)
{
    if (cooldownText != nullptr)
        showCooldown();
    HudElement::update(dt, mouseX, mouseY);
}

void Button::showCooldown()
{
    // A skill answers -1 once it is ready.
    const float secondsLeft = cooldownProvider->getValue(0);
    if (secondsLeft > 0.0f) {
        // Capped at four digits; also keeps the conversion to int defined.
        const int whole = secondsLeft < MAX_WHOLE_SECONDS ? static_cast<int>(secondsLeft) : MAX_WHOLE_SECONDS;
        if (whole != shownSeconds) {
            char number[12]; // room for any int; four digits are used
            std::snprintf(number, sizeof(number), "%d", whole + 1);
            cooldownText->setText(number);
            shownSeconds = whole;
        }
        cooldownText->visible = true;
    } else {
        cooldownText->visible = false;
        // Undoes the dimming the HUD gives the icon when its skill fires.
        alpha = 1.0f;
    }
}

void Button::render(MatrixOwner* camera)
{
    if (!active)
        return;
    renderCovered(camera, overlay, overlayTextureId);
    if (cooldownText != nullptr && cooldownText->visible)
        cooldownText->render(camera);
}

void Button::mouseClick(int x, int y, mouse_button /*button*/)
{
    if (inside(x, y))
        listener->buttonClicked(this);
}

void Button::keyPress(char key)
{
    if (key == hotKey)
        listener->buttonClicked(this);
}

int Button::getId() const
{
    return id;
}
