#pragma once

#include <string>

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "render/MatrixOwner.h"
#include "render/ShaderProgram.h"

// One line of text in window pixels from the bitmap font atlas: HUD labels
// and numbers, names over units and loot, floating combat numbers. The font
// has digits, capitals and a few signs, so everything shows in capitals. A
// text can fade out over a given time and then hides itself.
class Text {
public:
    // Glyph cell of one character in the atlas, in texture coordinates.
    struct CharBounds {
        float top;
        float bottom;
        float right;
        float left;
    };

    // Copies the string; no GL work.
    Text(float x, float y, const char* text, float scale, glm::vec3 color, std::string fontTexture);
    virtual ~Text();
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;

    // Takes the program and the font from the caches and uploads the glyphs.
    bool setup();
    void render(MatrixOwner* camera);
    // Advances a running fade.
    void update(float dt);
    // A text of another length rebuilds its buffers at once; one of the same
    // length is uploaded at the next render.
    void setText(const char* text);
    void setText(const char* text, float x);
    void setPos(float x, float y);
    // With rebuild false the new scale shows from the next vertex refill.
    void setScale(float scale, bool rebuild);
    // Fades from full to nothing over 'seconds', then hides the text.
    void setFadeToTransparent(float seconds);
    // Strictly inside the text's box at its current scale.
    bool positionInsideText(float px, float py) const;
    // Unscaled size of a string in pixels.
    static glm::vec2 dimensions(const char* text);
    // The atlas cell that draws 'c' (lower case as capitals, unknown bytes as
    // "0", a space as an empty cell).
    static CharBounds getCharBounds(char c);

    float getX() const { return x; }
    float getY() const { return y; }
    int getLength() const { return length; }
    float getScale() const { return scale; }
    const char* getText() const { return text; }
    const float* getVertexData() const { return vertexData; }

private:
    // Allocates, fills and uploads vertices for the current text.
    void buildBuffers();
    void releaseBuffers();
    void fillVertices();
    void copyText(const char* source);

    std::string fontTexture;
    ShaderProgram* program;
    float x;
    float y;
    float* vertexData;
    int vertexCount;
    int length;
    char* text;
    float scale;

public:
    float alpha;
    bool visible;

private:
    bool fading;
    float fadeDuration;
    float fadeTimeLeft;
    GLuint fontTextureId;
    bool dirty;
    glm::vec3 color;
    GLuint vbo;
    GLuint vao;
};
