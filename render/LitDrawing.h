#pragma once

#include <string>

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "game/Followable.h"
#include "render/MatrixOwner.h"
#include "render/ShaderProgram.h"

// The part of a draw that the lit drawables (ground quads and boxes) share:
// their program's matrices, the light carried above the followable, the
// eye, and the diffuse and normal pictures on texture units 0 and 1.
namespace LitDrawing {

// Height above the floor at which the light is carried.
constexpr float LIGHT_HEIGHT = 3.0f;

// The cached program and pictures of one lit drawable: what it names and
// what the caches gave it.
struct Resources {
    const std::string& vertexShader;
    const std::string& fragmentShader;
    const std::string& diffuseTexture;
    const std::string& normalTexture;
    ShaderProgram*& program;
    GLuint& diffuseTextureId;
    GLuint& normalTextureId;
    GLuint& reliefTextureId;
};

// Takes the program and then both pictures, flipped, from the caches, and
// the normal picture's relief slopes from theirs.
void acquire(const Resources& resources);
// Gives back only what acquire actually got, so a drawable that never got
// its program or a picture cannot release one that others still hold.
void release(const Resources& resources);

// Sets the matrices, the light (left as it was when 'light' is null), the
// view position and both samplers on the program in use. The normal sampler
// reads the relief slopes of the normal picture, not the picture itself.
void setUniforms(GLuint program, MatrixOwner* camera, Followable* light, const glm::mat4& world,
                 GLuint diffuseTexture, GLuint reliefTexture);

// Tangent and bitangent of a triangle from its corners and texture
// coordinates, each normalised.
void tangentFrame(const glm::vec3& p1, const glm::vec3& p2, const glm::vec3& p3, const glm::vec2& uv1,
                  const glm::vec2& uv2, const glm::vec2& uv3, glm::vec3* tangent, glm::vec3* bitangent);

} // namespace LitDrawing
