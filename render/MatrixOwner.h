#pragma once

#include <glm/glm.hpp>

// Where every drawable gets the matrices it draws with. The camera is the
// only implementation; render calls take it through this face so that they
// never depend on how the view is driven.
class MatrixOwner {
public:
    // World to eye space, built from the current eye and look-at point.
    virtual glm::mat4 getViewMatrix() = 0;
    virtual const glm::mat4& getPerspectiveMatrix() = 0;
    // One unit per window pixel, origin at the bottom-left corner, y up.
    virtual const glm::mat4& getOrthogonalMatrix() = 0;
    // The eye, which lit drawables use as the view position.
    virtual const glm::vec3& getPosition() = 0;
    virtual ~MatrixOwner() = default;
};
