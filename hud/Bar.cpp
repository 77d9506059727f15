#include "hud/Bar.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

#include "core/MathUtil.h"
#include "game/ValueProvider.h"
#include "render/TextureManager.h"

namespace {

// A vertical fill's texture sways through one sine period every 10*pi seconds.
const float SWAY_SLOWDOWN = 5.0f;

} // namespace

Bar::Bar(int x, int y, int w, int h, int maxValue, bar_direction direction, std::string fillTexture,
         std::string frameTexture, ValueProvider* provider, int valueId)
    : HudElement(x, y, w, h, std::move(fillTexture), false)
    , swayPhase(static_cast<float>(MathUtil::random()) * 0x1p-32f * 10.0f)
    , frame(new ScreenQuad(x, y, w, h, "shaders/basicortho.vs", "shaders/basicortho.fs"))
    , maxValue(maxValue)
    , direction(direction)
    , provider(provider)
    , frameTexturePath(std::move(frameTexture))
    , valueId(valueId)
{
}

Bar::~Bar()
{
    if (frameTextureId != 0)
        TextureManager::getInstance()->freeTexture(frameTexturePath);
    delete frame;
}

bool Bar::setup()
{
    frameTextureId = TextureManager::getInstance()->loadTexture(frameTexturePath, true);
    if (!frame->setup())
        return false;
    return HudElement::setup();
}

void Bar::setPos(int x, int y)
{
    frame->setPos(x, y);
    HudElement::setPos(x, y);
}

void Bar::update(float dt, int mouseX, int mouseY)
{
    // The providers deliver 0..1; the fraction is used as given.
    if (provider != nullptr)
        value = provider->getValue(valueId);
    if (direction == BAR_DIRECTION_VERTICAL)
        layOutVertical(value, dt);
    else
        layOutHorizontal(value);
    dirty = true;
    HudElement::update(dt, mouseX, mouseY);
}

void Bar::layOutVertical(float fraction, float dt)
{
    // The upper part of the fill picture at its own scale, its top edge at
    // the surface, sliding sideways over the repeating texture: a sloshing
    // liquid.
    swayPhase += dt / SWAY_SLOWDOWN;
    const float s = std::sin(swayPhase);
    const float top = y + height * fraction;
    const float bottomV = 1.0f - fraction;
    const float right = x + width;
    const float vertices[VERTEX_COUNT * FLOATS_PER_VERTEX] = {
        x,     top, s,        1.0f,    //
        x,     y,   s,        bottomV, //
        right, y,   s + 1.0f, bottomV, //
        x,     top, s,        1.0f,    //
        right, y,   s + 1.0f, bottomV, //
        right, top, s + 1.0f, 1.0f,
    };
    std::copy(std::begin(vertices), std::end(vertices), vertexData);
}

void Bar::layOutHorizontal(float fraction)
{
    // The left part of the fill picture at its own scale, cut at the fill's
    // right edge, mirroring the vertical bar.
    const float right = x + width * fraction;
    const float top = y + height;
    const float vertices[VERTEX_COUNT * FLOATS_PER_VERTEX] = {
        x,     top, 0.0f,     1.0f, //
        x,     y,   0.0f,     0.0f, //
        right, y,   fraction, 0.0f, //
        x,     top, 0.0f,     1.0f, //
        right, y,   fraction, 0.0f, //
        right, top, fraction, 1.0f,
    };
    std::copy(std::begin(vertices), std::end(vertices), vertexData);
}

void Bar::render(MatrixOwner* camera)
{
    if (active)
        renderCovered(camera, frame, frameTextureId);
}
