#include "render/Rectangle.h"

#include <cstring>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "render/ProgramManager.h"

namespace {

constexpr const char* VERTEX_SHADER = "shaders/rect.vs";
constexpr const char* FRAGMENT_SHADER = "shaders/rect.fs";
constexpr int FLOATS_PER_POINT = 3;
constexpr GLsizei STRIDE = FLOATS_PER_POINT * sizeof(float);
constexpr GLsizeiptr POINT_BYTES = Rectangle::POINT_COUNT * STRIDE;

// A unit square closed on its first corner, one unit above the origin.
constexpr float OUTLINE[Rectangle::POINT_COUNT * FLOATS_PER_POINT] = {
    -0.5f, 0.5f, 1.0f, -0.5f, -0.5f, 1.0f, 0.5f, -0.5f, 1.0f, 0.5f, 0.5f, 1.0f, -0.5f, 0.5f, 1.0f,
};

} // namespace

Rectangle::Rectangle(float x, float y, float z, float width, float height)
    : width(width)
    , height(height)
    , position(x, y, z)
    , color(0.0f, 1.0f, 0.0f)
    , vertexData(new float[POINT_COUNT * FLOATS_PER_POINT])
    , vbo(0)
    , vao(0)
    , program(nullptr)
{
    std::memcpy(vertexData, OUTLINE, sizeof(OUTLINE));
}

Rectangle::~Rectangle()
{
    if (program != nullptr)
        ProgramManager::getInstance()->freeProgram(VERTEX_SHADER, FRAGMENT_SHADER, "");
    if (vao != 0) {
        glDeleteVertexArrays(1, &vao);
        glDeleteBuffers(1, &vbo);
    }
    delete[] vertexData;
}

bool Rectangle::setup()
{
    program = ProgramManager::getInstance()->loadProgram(VERTEX_SHADER, FRAGMENT_SHADER, "");
    glGenVertexArrays(1, &vao);
    glGenBuffers(1, &vbo);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, POINT_BYTES, vertexData, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, STRIDE, reinterpret_cast<void*>(0));
    glEnableVertexAttribArray(0);
    glBindVertexArray(0);
    return true;
}

glm::mat4 Rectangle::getWorldMatrix() const
{
    return glm::scale(glm::translate(glm::mat4(1.0f), position), glm::vec3(width, height, 1.0f));
}

void Rectangle::render(MatrixOwner* camera)
{
    if (program == nullptr)
        return;
    program->use();
    const GLuint id = program->getId();
    const GLint worldLocation = glGetUniformLocation(id, "u_world_matrix");
    const GLint projectionLocation = glGetUniformLocation(id, "u_projection_matrix");
    const GLint viewLocation = glGetUniformLocation(id, "u_view_matrix");
    const GLint colorLocation = glGetUniformLocation(id, "u_color");

    const glm::mat4 world = getWorldMatrix();
    const glm::mat4 view = camera->getViewMatrix();
    glUniformMatrix4fv(worldLocation, 1, GL_FALSE, glm::value_ptr(world));
    glUniformMatrix4fv(projectionLocation, 1, GL_FALSE, glm::value_ptr(camera->getPerspectiveMatrix()));
    glUniformMatrix4fv(viewLocation, 1, GL_FALSE, glm::value_ptr(view));
    glUniform3fv(colorLocation, 1, glm::value_ptr(color));

    glBindVertexArray(vao);
    glDrawArrays(GL_LINE_STRIP, 0, POINT_COUNT);
    glBindVertexArray(0);
}

void Rectangle::update(float)
{
}
