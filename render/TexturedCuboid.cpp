#include "render/TexturedCuboid.h"

#include <cstring>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "render/LitDrawing.h"

namespace {

constexpr GLsizei STRIDE = TexturedCuboid::FLOATS_PER_VERTEX * sizeof(float);
constexpr GLsizeiptr VERTEX_BYTES = TexturedCuboid::VERTEX_COUNT * STRIDE;
constexpr int VERTICES_PER_FACE = 6;
constexpr int UV_OFFSET = 6;
// Mapping 2 repeats the picture every this many world units.
constexpr float TEXTURE_REPEAT_UNITS = 10.0f;
constexpr float TRANSPARENT_ALPHA = 0.4f;
constexpr float OPAQUE_ALPHA = 1.0f;

enum Face { FACE_POS_Y, FACE_NEG_Y, FACE_POS_X, FACE_NEG_X, FACE_POS_Z, FACE_NEG_Z };

Face faceOf(int vertex)
{
    return static_cast<Face>(vertex / VERTICES_PER_FACE);
}

} // namespace

// clang-format off
const float TexturedCuboid::templateVertexData[VERTEX_COUNT * FLOATS_PER_VERTEX] = {
    // +Y
    -0.5f,  0.5f,  0.5f,  0.0f,  1.0f,  0.0f,  0.0f, 0.0f,
     0.5f,  0.5f,  0.5f,  0.0f,  1.0f,  0.0f,  1.0f, 0.0f,
     0.5f,  0.5f, -0.5f,  0.0f,  1.0f,  0.0f,  1.0f, 1.0f,
    -0.5f,  0.5f,  0.5f,  0.0f,  1.0f,  0.0f,  0.0f, 0.0f,
     0.5f,  0.5f, -0.5f,  0.0f,  1.0f,  0.0f,  1.0f, 1.0f,
    -0.5f,  0.5f, -0.5f,  0.0f,  1.0f,  0.0f,  0.0f, 1.0f,
    // -Y
    -0.5f, -0.5f, -0.5f,  0.0f, -1.0f,  0.0f,  0.0f, 0.0f,
     0.5f, -0.5f, -0.5f,  0.0f, -1.0f,  0.0f,  1.0f, 0.0f,
     0.5f, -0.5f,  0.5f,  0.0f, -1.0f,  0.0f,  1.0f, 1.0f,
    -0.5f, -0.5f, -0.5f,  0.0f, -1.0f,  0.0f,  0.0f, 0.0f,
     0.5f, -0.5f,  0.5f,  0.0f, -1.0f,  0.0f,  1.0f, 1.0f,
    -0.5f, -0.5f,  0.5f,  0.0f, -1.0f,  0.0f,  0.0f, 1.0f,
    // +X
     0.5f, -0.5f,  0.5f,  1.0f,  0.0f,  0.0f,  0.0f, 1.0f,
     0.5f, -0.5f, -0.5f,  1.0f,  0.0f,  0.0f,  0.0f, 0.0f,
     0.5f,  0.5f, -0.5f,  1.0f,  0.0f,  0.0f,  1.0f, 0.0f,
     0.5f, -0.5f,  0.5f,  1.0f,  0.0f,  0.0f,  0.0f, 1.0f,
     0.5f,  0.5f, -0.5f,  1.0f,  0.0f,  0.0f,  1.0f, 0.0f,
     0.5f,  0.5f,  0.5f,  1.0f,  0.0f,  0.0f,  1.0f, 1.0f,
    // -X
    -0.5f, -0.5f, -0.5f, -1.0f,  0.0f,  0.0f,  1.0f, 0.0f,
    -0.5f, -0.5f,  0.5f, -1.0f,  0.0f,  0.0f,  1.0f, 1.0f,
    -0.5f,  0.5f,  0.5f, -1.0f,  0.0f,  0.0f,  0.0f, 1.0f,
    -0.5f, -0.5f, -0.5f, -1.0f,  0.0f,  0.0f,  1.0f, 0.0f,
    -0.5f,  0.5f,  0.5f, -1.0f,  0.0f,  0.0f,  0.0f, 1.0f,
    -0.5f,  0.5f, -0.5f, -1.0f,  0.0f,  0.0f,  0.0f, 0.0f,
    // +Z
    -0.5f, -0.5f,  0.5f,  0.0f,  0.0f,  1.0f,  0.0f, 0.0f,
     0.5f, -0.5f,  0.5f,  0.0f,  0.0f,  1.0f,  1.0f, 0.0f,
     0.5f,  0.5f,  0.5f,  0.0f,  0.0f,  1.0f,  1.0f, 1.0f,
    -0.5f, -0.5f,  0.5f,  0.0f,  0.0f,  1.0f,  0.0f, 0.0f,
     0.5f,  0.5f,  0.5f,  0.0f,  0.0f,  1.0f,  1.0f, 1.0f,
    -0.5f,  0.5f,  0.5f,  0.0f,  0.0f,  1.0f,  0.0f, 1.0f,
    // -Z
     0.5f, -0.5f, -0.5f,  0.0f,  0.0f, -1.0f,  0.0f, 0.0f,
    -0.5f, -0.5f, -0.5f,  0.0f,  0.0f, -1.0f,  1.0f, 0.0f,
    -0.5f,  0.5f, -0.5f,  0.0f,  0.0f, -1.0f,  1.0f, 1.0f,
     0.5f, -0.5f, -0.5f,  0.0f,  0.0f, -1.0f,  0.0f, 0.0f,
    -0.5f,  0.5f, -0.5f,  0.0f,  0.0f, -1.0f,  1.0f, 1.0f,
     0.5f,  0.5f, -0.5f,  0.0f,  0.0f, -1.0f,  0.0f, 1.0f,
};
// clang-format on

TexturedCuboid::TexturedCuboid(float x, float y, float z, float sizeX, float sizeY, float sizeZ,
                               std::string diffuseTexture, std::string normalTexture, std::string vertexShader,
                               std::string fragmentShader)
    : position(x, y, z)
    , rotation(0.0f)
    , pivot(0.0f)
    , vertexData(new float[VERTEX_COUNT * FLOATS_PER_VERTEX])
    , scale(1.0f)
    , sizeX(sizeX)
    , sizeY(sizeY)
    , sizeZ(sizeZ)
    , vbo(0)
    , vao(0)
    , normalTexture(std::move(normalTexture))
    , diffuseTexture(std::move(diffuseTexture))
    , diffuseTextureId(0)
    , normalTextureId(0)
    , reliefTextureId(0)
    , vertexShader(std::move(vertexShader))
    , fragmentShader(std::move(fragmentShader))
    , program(nullptr)
{
    std::memcpy(vertexData, templateVertexData, sizeof(templateVertexData));
}

TexturedCuboid::~TexturedCuboid()
{
    LitDrawing::release(resources());
    if (vao != 0) {
        glDeleteBuffers(1, &vbo);
        glDeleteVertexArrays(1, &vao);
    }
    delete[] vertexData;
}

void TexturedCuboid::applyAtlasMapping()
{
    for (int i = 0; i < VERTEX_COUNT; ++i) {
        float* vertex = vertexData + i * FLOATS_PER_VERTEX;
        const float x = vertex[0] + 0.5f;
        const float y = vertex[1] + 0.5f;
        const float z = vertex[2] + 0.5f;
        float* uv = vertex + UV_OFFSET;
        switch (faceOf(i)) {
        case FACE_POS_Y:
        case FACE_NEG_Y:
            uv[0] = 1.0f - x / 2.0f;
            uv[1] = z / 2.0f;
            break;
        case FACE_POS_X:
            uv[0] = y / 2.0f;
            uv[1] = z / 2.0f;
            break;
        case FACE_NEG_X:
            uv[0] = 0.5f + y / 2.0f;
            uv[1] = 0.5f + z / 2.0f;
            break;
        case FACE_POS_Z:
            uv[0] = y / 2.0f;
            uv[1] = 1.0f - x / 2.0f;
            break;
        case FACE_NEG_Z:
            break;
        }
    }
}

void TexturedCuboid::applyDimensionMapping()
{
    for (int i = 0; i < VERTEX_COUNT; ++i) {
        float* uv = vertexData + i * FLOATS_PER_VERTEX + UV_OFFSET;
        switch (faceOf(i)) {
        case FACE_POS_Y:
        case FACE_NEG_Y:
            uv[0] *= sizeX / TEXTURE_REPEAT_UNITS;
            uv[1] *= sizeZ / TEXTURE_REPEAT_UNITS;
            break;
        case FACE_POS_X:
        case FACE_NEG_X:
            uv[0] *= sizeY / TEXTURE_REPEAT_UNITS;
            uv[1] *= sizeZ / TEXTURE_REPEAT_UNITS;
            break;
        case FACE_POS_Z:
        case FACE_NEG_Z:
            uv[0] *= sizeX / TEXTURE_REPEAT_UNITS;
            uv[1] *= sizeY / TEXTURE_REPEAT_UNITS;
            break;
        }
    }
}

LitDrawing::Resources TexturedCuboid::resources()
{
    return LitDrawing::Resources{vertexShader,  fragmentShader,   diffuseTexture, normalTexture,
                                 program,       diffuseTextureId, normalTextureId, reliefTextureId};
}

bool TexturedCuboid::setup(uv_mapping mapping)
{
    std::memcpy(vertexData, templateVertexData, sizeof(templateVertexData));
    LitDrawing::acquire(resources());
    if (mapping == UV_MAPPING_ATLAS)
        applyAtlasMapping();
    else if (mapping == UV_MAPPING_DIMENSIONS)
        applyDimensionMapping();

    glGenBuffers(1, &vbo);
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, VERTEX_BYTES, vertexData, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, STRIDE, reinterpret_cast<void*>(0));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, STRIDE, reinterpret_cast<void*>(3 * sizeof(float)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, STRIDE, reinterpret_cast<void*>(UV_OFFSET * sizeof(float)));
    glEnableVertexAttribArray(2);
    glBindVertexArray(0);
    return true;
}

glm::mat4 TexturedCuboid::getWorldMatrix() const
{
    glm::mat4 world = glm::translate(glm::mat4(1.0f), position);
    world = glm::rotate(world, rotation.z, glm::vec3(0.0f, 0.0f, 1.0f));
    world = glm::translate(world, -pivot);
    world = glm::rotate(world, rotation.y, glm::vec3(0.0f, 1.0f, 0.0f));
    world = glm::translate(world, pivot);
    return glm::scale(world, glm::vec3(scale * sizeX, scale * sizeY, scale * sizeZ));
}

void TexturedCuboid::render(MatrixOwner* camera, Followable* light, bool transparent)
{
    if (program == nullptr)
        return;
    program->use();
    const GLuint id = program->getId();
    glUniform1f(glGetUniformLocation(id, "u_alpha"), transparent ? TRANSPARENT_ALPHA : OPAQUE_ALPHA);
    LitDrawing::setUniforms(id, camera, light, getWorldMatrix(), diffuseTextureId, reliefTextureId);

    glBindVertexArray(vao);
    if (transparent) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDisable(GL_DEPTH_TEST);
        glDrawArrays(GL_TRIANGLES, 0, VERTEX_COUNT);
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
    } else {
        glDrawArrays(GL_TRIANGLES, 0, VERTEX_COUNT);
    }
    glBindVertexArray(0);
}

void TexturedCuboid::update(float)
{
}
