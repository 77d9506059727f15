#pragma once

#include <glm/glm.hpp>

#include "game/Followable.h"
#include "render/MatrixOwner.h"

// The game's one camera: it looks down on the followed unit from above and a
// little behind (towards -y), eases its height towards the zoom goal the
// mouse wheel sets, and keeps a fixed pixel-for-unit orthographic matrix for
// everything drawn on the screen plane.
class Camera : public MatrixOwner {
public:
    Camera(glm::vec3 eye, glm::vec3 lookAt, glm::vec3 up, float width, float height);
    ~Camera() override = default;

    glm::mat4 getViewMatrix() override;
    const glm::mat4& getPerspectiveMatrix() override;
    const glm::mat4& getOrthogonalMatrix() override;
    const glm::vec3& getPosition() override;

    // Not owned; null stops following.
    void setFollowable(Followable* followable);
    // Places the eye over the followed point and eases the zoom; once a frame.
    void update(float dt);
    void zoomIn();
    void zoomOut();
    // Places both points directly; the next update overrides them while
    // something is followed.
    void setEyeLook(glm::vec3 eye, glm::vec3 lookAt);

    float getDistance() const { return distance; }
    float getTargetDistance() const { return targetDistance; }
    const glm::vec3& getLookAt() const { return lookAt; }

private:
    glm::vec3 eye;
    glm::vec3 lookAt;
    glm::vec3 up;
    glm::mat4 perspectiveMatrix;
    glm::mat4 orthoMatrix;
    float distance;
    float targetDistance;
    // The viewport the camera was made for; only the constructor reads it.
    [[maybe_unused]] float width;
    [[maybe_unused]] float height;
    float aspect;
    Followable* followable;
};
