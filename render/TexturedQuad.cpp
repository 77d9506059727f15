#include "render/TexturedQuad.h"

#include <cstring>

#include <glm/gtc/matrix_transform.hpp>

#include "render/LitDrawing.h"

namespace {

constexpr GLsizei STRIDE = TexturedQuad::FLOATS_PER_VERTEX * sizeof(float);
constexpr GLsizeiptr VERTEX_BYTES = TexturedQuad::VERTEX_COUNT * STRIDE;
constexpr GLsizeiptr INDEX_BYTES = TexturedQuad::INDEX_COUNT * sizeof(uint32_t);
constexpr uint32_t INDICES[TexturedQuad::INDEX_COUNT] = {0, 1, 3, 0, 3, 2};
// The ground and the stairs are never see-through.
constexpr float OPAQUE_ALPHA = 1.0f;

// Attribute slot, float count and float offset of each part of a vertex:
// position, normal, uv, tangent, bitangent.
constexpr int ATTRIBUTES[5][3] = {{0, 3, 0}, {1, 3, 3}, {2, 2, 6}, {3, 3, 8}, {4, 3, 11}};

} // namespace

TexturedQuad::TexturedQuad(float x, float y, float z, float width, float height, std::string diffuseTexture,
                           std::string normalTexture, std::string vertexShader, std::string fragmentShader,
                           float tileSize)
    : width(width)
    , height(height)
    , position(x, y, z)
    , tileSize(tileSize)
    , vertexData(new float[VERTEX_COUNT * FLOATS_PER_VERTEX])
    , indexData(new uint32_t[INDEX_COUNT])
    , vbo(0)
    , vao(0)
    , ebo(0)
    , normalTexture(std::move(normalTexture))
    , diffuseTexture(std::move(diffuseTexture))
    , diffuseTextureId(0)
    , normalTextureId(0)
    , reliefTextureId(0)
    , vertexShader(std::move(vertexShader))
    , fragmentShader(std::move(fragmentShader))
    , program(nullptr)
{
    const float halfW = width / 2.0f;
    const float halfH = height / 2.0f;
    const float repeatsU = width / tileSize;
    const float repeatsV = height / tileSize;
    const glm::vec3 corners[VERTEX_COUNT] = {
        {-halfW, halfH, 0.0f}, {-halfW, -halfH, 0.0f}, {halfW, halfH, 0.0f}, {halfW, -halfH, 0.0f}};
    const glm::vec2 uvs[VERTEX_COUNT] = {{0.0f, repeatsV}, {0.0f, 0.0f}, {repeatsU, repeatsV}, {repeatsU, 0.0f}};

    // The quad is flat and its uv linear in position, so one triangle's frame
    // holds for all four corners.
    glm::vec3 tangent;
    glm::vec3 bitangent;
    LitDrawing::tangentFrame(corners[0], corners[1], corners[3], uvs[0], uvs[1], uvs[3], &tangent, &bitangent);

    for (int i = 0; i < VERTEX_COUNT; ++i) {
        const float vertex[FLOATS_PER_VERTEX] = {
            corners[i].x, corners[i].y, corners[i].z, 0.0f,        0.0f,        1.0f,        uvs[i].x,
            uvs[i].y,     tangent.x,    tangent.y,    tangent.z,   bitangent.x, bitangent.y, bitangent.z,
        };
        std::memcpy(vertexData + i * FLOATS_PER_VERTEX, vertex, sizeof(vertex));
    }
    std::memcpy(indexData, INDICES, sizeof(INDICES));
}

TexturedQuad::~TexturedQuad()
{
    LitDrawing::release(resources());
    if (vao != 0) {
        glDeleteVertexArrays(1, &vao);
        glDeleteBuffers(1, &vbo);
        glDeleteBuffers(1, &ebo);
    }
    delete[] vertexData;
    delete[] indexData;
}

LitDrawing::Resources TexturedQuad::resources()
{
    return LitDrawing::Resources{vertexShader,  fragmentShader,   diffuseTexture, normalTexture,
                                 program,       diffuseTextureId, normalTextureId, reliefTextureId};
}

bool TexturedQuad::setup()
{
    LitDrawing::acquire(resources());

    glGenVertexArrays(1, &vao);
    glGenBuffers(1, &vbo);
    glGenBuffers(1, &ebo);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, VERTEX_BYTES, vertexData, GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ebo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, INDEX_BYTES, indexData, GL_STATIC_DRAW);
    for (const auto& attribute : ATTRIBUTES) {
        glVertexAttribPointer(attribute[0], attribute[1], GL_FLOAT, GL_FALSE, STRIDE,
                              reinterpret_cast<void*>(attribute[2] * sizeof(float)));
        glEnableVertexAttribArray(attribute[0]);
    }
    glBindVertexArray(0);
    return true;
}

void TexturedQuad::render(MatrixOwner* camera, Followable* light)
{
    if (program == nullptr)
        return;
    program->use();
    const glm::mat4 world = glm::translate(glm::mat4(1.0f), position);
    LitDrawing::setUniforms(program->getId(), camera, light, world, diffuseTextureId, reliefTextureId);
    // The ground shares its program with the boxes: without this it would
    // take the opacity of whichever box was drawn last (a see-through wall).
    glUniform1f(glGetUniformLocation(program->getId(), "u_alpha"), OPAQUE_ALPHA);

    glBindVertexArray(vao);
    glDrawElements(GL_TRIANGLES, INDEX_COUNT, GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
}

void TexturedQuad::update(float)
{
}

void TexturedQuad::setPosition(const glm::vec3& position)
{
    this->position = position;
}
