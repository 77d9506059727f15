#include "render/Camera.h"

#include <glm/gtc/matrix_transform.hpp>

#include "core/MathUtil.h"

namespace {

// 90 degrees vertically.
constexpr float FIELD_OF_VIEW = 1.5707963267948966f;
constexpr float NEAR_PLANE = 0.01f;
constexpr float FAR_PLANE = 100.0f;
constexpr float START_DISTANCE = 20.0f;
constexpr float START_TARGET_DISTANCE = 12.0f;
constexpr float MIN_TARGET_DISTANCE = 8.0f;
constexpr float MAX_TARGET_DISTANCE = 14.0f;
constexpr float ZOOM_STEP = 1.0f;
// How far behind (towards -y) the followed point the eye stays.
constexpr float BEHIND_DISTANCE = 6.0f;
// Fraction of the remaining zoom covered per second.
constexpr float ZOOM_EASING_RATE = 10.0f;
// One ease step overshoots once dt x rate passes 1, swings for ever at 2 and
// runs away beyond it: a slow frame (a few a second) would fling the eye up
// and below the floor, even from a settled zoom's rounding. Longer frames
// ease in steps of at most this many seconds, which always settle; frames
// of seven a second or more take one step, as they always did.
constexpr float MAX_EASE_STEP = 0.15f;

} // namespace

Camera::Camera(glm::vec3 eye, glm::vec3 lookAt, glm::vec3 up, float width, float height)
    : eye(eye)
    , lookAt(lookAt)
    , up(up)
    , distance(START_DISTANCE)
    , targetDistance(START_TARGET_DISTANCE)
    , width(width)
    , height(height)
    , aspect(width / height)
    , followable(nullptr)
{
    perspectiveMatrix = glm::perspective(FIELD_OF_VIEW, aspect, NEAR_PLANE, FAR_PLANE);
    orthoMatrix = glm::ortho(0.0f, aspect * height, 0.0f, height, -1.0f, 1.0f);
}

glm::mat4 Camera::getViewMatrix()
{
    return glm::lookAt(eye, lookAt, up);
}

const glm::mat4& Camera::getPerspectiveMatrix()
{
    return perspectiveMatrix;
}

const glm::mat4& Camera::getOrthogonalMatrix()
{
    return orthoMatrix;
}

const glm::vec3& Camera::getPosition()
{
    return eye;
}

void Camera::setFollowable(Followable* followable)
{
    this->followable = followable;
}

void Camera::update(float dt)
{
    if (followable != nullptr) {
        const glm::vec3 p = followable->getPosition();
        lookAt = p;
        eye = glm::vec3(p.x, p.y - BEHIND_DISTANCE, p.z + distance);
    }
    MathUtil::forEachSubStep(dt, MAX_EASE_STEP, dt, [this](float stepTime, bool) {
        distance += stepTime * (targetDistance - distance) * ZOOM_EASING_RATE;
        return true;
    });
}

void Camera::zoomIn()
{
    targetDistance -= ZOOM_STEP;
    if (targetDistance < MIN_TARGET_DISTANCE)
        targetDistance = MIN_TARGET_DISTANCE;
}

void Camera::zoomOut()
{
    targetDistance += ZOOM_STEP;
    if (targetDistance > MAX_TARGET_DISTANCE)
        targetDistance = MAX_TARGET_DISTANCE;
}

void Camera::setEyeLook(glm::vec3 eye, glm::vec3 lookAt)
{
    this->eye = eye;
    this->lookAt = lookAt;
}
