#include "render/LitDrawing.h"

#include <glm/gtc/type_ptr.hpp>

#include "render/ProgramManager.h"
#include "render/ReliefTextures.h"
#include "render/TextureManager.h"

namespace LitDrawing {

void acquire(const Resources& resources)
{
    resources.program =
        ProgramManager::getInstance()->loadProgram(resources.vertexShader, resources.fragmentShader, "");
    resources.diffuseTextureId = TextureManager::getInstance()->loadTexture(resources.diffuseTexture, true);
    resources.normalTextureId = TextureManager::getInstance()->loadTexture(resources.normalTexture, true);
    resources.reliefTextureId =
        ReliefTextures::getInstance()->acquire(resources.normalTexture, resources.normalTextureId);
}

void release(const Resources& resources)
{
    if (resources.program != nullptr)
        ProgramManager::getInstance()->freeProgram(resources.vertexShader, resources.fragmentShader, "");
    if (resources.diffuseTextureId != 0)
        TextureManager::getInstance()->freeTexture(resources.diffuseTexture);
    if (resources.reliefTextureId != 0)
        ReliefTextures::getInstance()->release(resources.normalTexture);
    if (resources.normalTextureId != 0)
        TextureManager::getInstance()->freeTexture(resources.normalTexture);
    resources.program = nullptr;
    resources.diffuseTextureId = 0;
    resources.normalTextureId = 0;
    resources.reliefTextureId = 0;
}

void setUniforms(GLuint program, MatrixOwner* camera, Followable* light, const glm::mat4& world,
                 GLuint diffuseTexture, GLuint reliefTexture)
{
    const GLint worldLocation = glGetUniformLocation(program, "u_world_matrix");
    const GLint projectionLocation = glGetUniformLocation(program, "u_projection_matrix");
    const GLint viewLocation = glGetUniformLocation(program, "u_view_matrix");
    const GLint diffuseLocation = glGetUniformLocation(program, "diffuse_texture_sampler");
    const GLint normalLocation = glGetUniformLocation(program, "normal_texture_sampler");
    const GLint lightLocation = glGetUniformLocation(program, "u_light_pos");
    const GLint viewPosLocation = glGetUniformLocation(program, "u_view_pos");

    const glm::mat4 view = camera->getViewMatrix();
    glUniformMatrix4fv(worldLocation, 1, GL_FALSE, glm::value_ptr(world));
    glUniformMatrix4fv(projectionLocation, 1, GL_FALSE, glm::value_ptr(camera->getPerspectiveMatrix()));
    glUniformMatrix4fv(viewLocation, 1, GL_FALSE, glm::value_ptr(view));
    if (light != nullptr) {
        const glm::vec3 at = light->getPosition();
        glUniform3f(lightLocation, at.x, at.y, LIGHT_HEIGHT);
    }
    glUniform3fv(viewPosLocation, 1, glm::value_ptr(camera->getPosition()));

    glUniform1i(diffuseLocation, 0);
    glUniform1i(normalLocation, 1);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, diffuseTexture);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, reliefTexture);
    glActiveTexture(GL_TEXTURE0);
}

void tangentFrame(const glm::vec3& p1, const glm::vec3& p2, const glm::vec3& p3, const glm::vec2& uv1,
                  const glm::vec2& uv2, const glm::vec2& uv3, glm::vec3* tangent, glm::vec3* bitangent)
{
    const glm::vec3 e1 = p2 - p1;
    const glm::vec3 e2 = p3 - p1;
    const glm::vec2 d1 = uv2 - uv1;
    const glm::vec2 d2 = uv3 - uv1;
    const float f = 1.0f / (d1.x * d2.y - d2.x * d1.y);
    *tangent = glm::normalize(f * (d2.y * e1 - d1.y * e2));
    *bitangent = glm::normalize(f * (d1.x * e2 - d2.x * e1));
}

} // namespace LitDrawing
