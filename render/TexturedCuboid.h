#pragma once

#include <string>

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "game/Followable.h"
#include "render/LitDrawing.h"
#include "render/MatrixOwner.h"
#include "render/ShaderProgram.h"

// How a box lays its texture on its faces.
enum uv_mapping {
    // The template's own coordinates: the whole picture on every face.
    UV_MAPPING_TEMPLATE = 0,
    // Faces on the quadrants of a 2 x 2 atlas (unit bodies); the bottom face
    // keeps the whole picture.
    UV_MAPPING_ATLAS = 1,
    // The picture repeated every 10 world units along each face (walls).
    UV_MAPPING_DIMENSIONS = 2,
};

// One lit, textured box: level walls, unit bodies and arms, loot on the
// ground. A unit cube scaled to its size; its owner moves, turns and scales
// it through the public transform fields every frame.
class TexturedCuboid {
public:
    static constexpr int VERTEX_COUNT = 36;
    static constexpr int FLOATS_PER_VERTEX = 8;
    // The unit cube centred on the origin: position, normal, uv per vertex;
    // faces +Y, -Y, +X, -X, +Z, -Z of two triangles each.
    static const float templateVertexData[VERTEX_COUNT * FLOATS_PER_VERTEX];

    // Stores position, size and paths; no GL work.
    TexturedCuboid(float x, float y, float z, float sizeX, float sizeY, float sizeZ, std::string diffuseTexture,
                   std::string normalTexture, std::string vertexShader, std::string fragmentShader);
    ~TexturedCuboid();
    TexturedCuboid(const TexturedCuboid&) = delete;
    TexturedCuboid& operator=(const TexturedCuboid&) = delete;

    // Lays out the texture, takes program and textures from the caches and
    // uploads the box. Always true: the caches log their own failures.
    bool setup(uv_mapping mapping);
    // Transparent draws at 40 % opacity over everything (a wall hiding the
    // player). A null light keeps the light the program last had.
    void render(MatrixOwner* camera, Followable* light, bool transparent);
    void update(float dt);

    // translate(position) x turn about z x the pivoted turn about y x scale.
    glm::mat4 getWorldMatrix() const;
    const float* getVertexData() const { return vertexData; }

    glm::vec3 position;
    // Radians; only y and z are used.
    glm::vec3 rotation;
    // Offset about which the turn about y is made.
    glm::vec3 pivot;

private:
    // This drawable's names and cache handles, for acquiring and releasing.
    LitDrawing::Resources resources();

    void applyAtlasMapping();
    void applyDimensionMapping();

    float* vertexData;

public:
    float scale;

private:
    float sizeX;
    float sizeY;
    float sizeZ;
    GLuint vbo;
    GLuint vao;
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
