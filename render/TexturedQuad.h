#pragma once

#include <cstdint>
#include <string>

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "game/Followable.h"
#include "render/LitDrawing.h"
#include "render/MatrixOwner.h"
#include "render/ShaderProgram.h"

// A flat, lit, normal-mapped rectangle lying in a horizontal plane and facing
// up, its texture repeated every tileSize world units: the level's ground and
// its stair tiles.
class TexturedQuad {
public:
    static constexpr int VERTEX_COUNT = 4;
    static constexpr int FLOATS_PER_VERTEX = 14;
    static constexpr int INDEX_COUNT = 6;

    // Fills vertices, indices and the tangent frame; no GL work.
    TexturedQuad(float x, float y, float z, float width, float height, std::string diffuseTexture,
                 std::string normalTexture, std::string vertexShader, std::string fragmentShader, float tileSize);
    ~TexturedQuad();
    TexturedQuad(const TexturedQuad&) = delete;
    TexturedQuad& operator=(const TexturedQuad&) = delete;

    // Takes the program and both textures from the caches and uploads the
    // buffers. Failures are logged by the caches, not reported here.
    bool setup();
    // Lit by a light at the followable's place, 3 units above the floor.
    void render(MatrixOwner* camera, Followable* light);
    void update(float dt);
    void setPosition(const glm::vec3& position);

    const float* getVertexData() const { return vertexData; }
    const uint32_t* getIndexData() const { return indexData; }

private:
    // This drawable's names and cache handles, for acquiring and releasing.
    LitDrawing::Resources resources();

    // The quad's extent and texture repeat; only the constructor reads them,
    // to make the vertices.
    [[maybe_unused]] float width;
    [[maybe_unused]] float height;
    glm::vec3 position;
    [[maybe_unused]] float tileSize;
    float* vertexData;
    uint32_t* indexData;
    GLuint vbo;
    GLuint vao;
    GLuint ebo;
    std::string normalTexture;
    std::string diffuseTexture;
    GLuint diffuseTextureId;
    GLuint normalTextureId;
    // The normal picture's relief slopes, which the shader reads in its place.
    GLuint reliefTextureId;
    std::string vertexShader;
    std::string fragmentShader;
    ShaderProgram* program;
};
