#include "render/ScreenQuad.h"

#include <glm/gtc/type_ptr.hpp>

#include "render/ProgramManager.h"

namespace {

constexpr GLsizeiptr VERTEX_BYTES = ScreenQuad::VERTEX_COUNT * ScreenQuad::FLOATS_PER_VERTEX * sizeof(float);
constexpr GLsizei STRIDE = ScreenQuad::FLOATS_PER_VERTEX * sizeof(float);

} // namespace

ScreenQuad::ScreenQuad(int x, int y, int width, int height, std::string vertexShader, std::string fragmentShader)
    : vertexData(new float[VERTEX_COUNT * FLOATS_PER_VERTEX])
    , x(static_cast<float>(x))
    , y(static_cast<float>(y))
    , width(static_cast<float>(width))
    , height(static_cast<float>(height))
    , alpha(1.0f)
    , dirty(false)
    , vbo(0)
    , vao(0)
    , program(nullptr)
    , texture(0)
    , vertexShader(std::move(vertexShader))
    , fragmentShader(std::move(fragmentShader))
{
    fillVertices(1.0f, 1.0f);
}

ScreenQuad::~ScreenQuad()
{
    // Only a reference actually taken is given back: returning one we never
    // got would release a program other quads still draw with.
    if (program != nullptr)
        ProgramManager::getInstance()->freeProgram(vertexShader, fragmentShader, "");
    if (vao != 0) {
        glDeleteVertexArrays(1, &vao);
        glDeleteBuffers(1, &vbo);
    }
    delete[] vertexData;
}

void ScreenQuad::fillVertices(float u, float v)
{
    const float left = x;
    const float right = x + width;
    const float bottom = y;
    const float top = y + height;
    const float vertices[VERTEX_COUNT * FLOATS_PER_VERTEX] = {
        left,  top,    0.0f, v,    //
        left,  bottom, 0.0f, 0.0f, //
        right, bottom, u,    0.0f, //
        left,  top,    0.0f, v,    //
        right, bottom, u,    0.0f, //
        right, top,    u,    v,
    };
    for (int i = 0; i < VERTEX_COUNT * FLOATS_PER_VERTEX; ++i)
        vertexData[i] = vertices[i];
}

void ScreenQuad::setPos(int x, int y)
{
    setPosAndUV(x, y, 1.0f, 1.0f);
}

void ScreenQuad::setPosAndUV(int x, int y, float u, float v)
{
    this->x = static_cast<float>(x);
    this->y = static_cast<float>(y);
    fillVertices(u, v);
    dirty = true;
}

void ScreenQuad::setPosY(int y)
{
    this->y = static_cast<float>(y);
    fillVertices(1.0f, 1.0f);
    dirty = true;
}

bool ScreenQuad::setup()
{
    program = ProgramManager::getInstance()->loadProgram(vertexShader, fragmentShader, "");

    glGenVertexArrays(1, &vao);
    glGenBuffers(1, &vbo);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, VERTEX_BYTES, vertexData, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, STRIDE, reinterpret_cast<void*>(0));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, STRIDE, reinterpret_cast<void*>(2 * sizeof(float)));
    glEnableVertexAttribArray(1);
    glBindVertexArray(0);
    return true;
}

void ScreenQuad::setTexture(GLuint texture)
{
    this->texture = texture;
}

void ScreenQuad::render(MatrixOwner* camera)
{
    // A quad whose program failed to build has nothing to draw with.
    if (program == nullptr)
        return;
    program->use();
    glDisable(GL_DEPTH_TEST);

    const GLuint id = program->getId();
    const GLint samplerLocation = glGetUniformLocation(id, "u_texture_sampler");
    const GLint worldLocation = glGetUniformLocation(id, "u_world_matrix");
    const GLint projectionLocation = glGetUniformLocation(id, "u_projection_matrix");
    const GLint alphaLocation = glGetUniformLocation(id, "u_alpha");

    const glm::mat4 world(1.0f);
    glUniformMatrix4fv(worldLocation, 1, GL_FALSE, glm::value_ptr(world));
    glUniformMatrix4fv(projectionLocation, 1, GL_FALSE, glm::value_ptr(camera->getOrthogonalMatrix()));
    glUniform1f(alphaLocation, alpha);

    if (dirty) {
        glBindBuffer(GL_ARRAY_BUFFER, vbo);
        glBufferData(GL_ARRAY_BUFFER, VERTEX_BYTES, vertexData, GL_STATIC_DRAW);
        dirty = false;
    }

    glUniform1i(samplerLocation, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBindVertexArray(vao);
    glDrawArrays(GL_TRIANGLES, 0, VERTEX_COUNT);
    glBindVertexArray(0);

    glEnable(GL_DEPTH_TEST);
}
