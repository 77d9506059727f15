#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "render/MatrixOwner.h"
#include "render/ShaderProgram.h"

// The outline of an axis-aligned rectangle in the world, one unit above its
// position, in one colour: a debugging aid for the level's layout. Its owner
// moves, resizes and recolours it through the public fields before each draw.
class Rectangle {
public:
    static constexpr int POINT_COUNT = 5;

    // Fills the closed outline of the unit square; no GL work.
    Rectangle(float x, float y, float z, float width, float height);
    ~Rectangle();
    Rectangle(const Rectangle&) = delete;
    Rectangle& operator=(const Rectangle&) = delete;

    bool setup();
    void render(MatrixOwner* camera);
    void update(float dt);

    // translate(position) x scale(width, height, 1).
    glm::mat4 getWorldMatrix() const;
    const float* getVertexData() const { return vertexData; }

    float width;
    float height;
    glm::vec3 position;
    glm::vec3 color;

private:
    float* vertexData;
    GLuint vbo;
    GLuint vao;
    ShaderProgram* program;
};
