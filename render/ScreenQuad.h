#pragma once

#include <string>

#include <GL/glew.h>

#include "render/MatrixOwner.h"
#include "render/ShaderProgram.h"

// One textured rectangle in window pixels (origin bottom-left, y up), drawn
// with the camera's orthographic matrix. Base of every HUD element, and the
// full-window pass that shows the offscreen frame. The texture belongs to
// whoever sets it.
class ScreenQuad {
public:
    static constexpr int VERTEX_COUNT = 6;
    static constexpr int FLOATS_PER_VERTEX = 4;

    // Stores the rectangle and fills the vertices; no GL work.
    ScreenQuad(int x, int y, int width, int height, std::string vertexShader, std::string fragmentShader);
    virtual ~ScreenQuad();
    ScreenQuad(const ScreenQuad&) = delete;
    ScreenQuad& operator=(const ScreenQuad&) = delete;

    // Moves the rectangle and shows the whole texture once again.
    virtual void setPos(int x, int y);
    // Moves the rectangle and shows the texture extent (u, v) over it: below 1
    // the lower-left part stretched, above 1 the texture repeated.
    virtual void setPosAndUV(int x, int y, float u, float v);

    // Takes the program from the cache and uploads the vertices.
    bool setup();
    void setTexture(GLuint texture);
    // Changes only y; the texture extent goes back to (1, 1).
    void setPosY(int y);
    void render(MatrixOwner* camera);

protected:
    // Writes the six vertices for the current rectangle and extent (u, v).
    void fillVertices(float u, float v);

    float* vertexData;
    float x;
    float y;
    float width;
    float height;

public:
    // Opacity handed to the shader.
    float alpha;

protected:
    bool dirty;
    GLuint vbo;
    GLuint vao;
    ShaderProgram* program;
    GLuint texture;
    std::string vertexShader;
    std::string fragmentShader;
};
