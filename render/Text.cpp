#include "render/Text.h"

#include <cctype>
#include <cstring>

#include <glm/gtc/type_ptr.hpp>

#include "core/MathUtil.h"
#include "render/ProgramManager.h"
#include "render/TextureManager.h"

namespace {

constexpr const char* VERTEX_SHADER = "shaders/text.vs";
constexpr const char* FRAGMENT_SHADER = "shaders/text.fs";

// The atlas: a 512 x 512 picture loaded unflipped, so v counts pixel rows
// from its top. Cells of 35 x 54 pixels, 43 pixels apart across and 87 down.
constexpr float ATLAS_SIZE = 512.0f;
constexpr float GLYPH_WIDTH = 35.0f;
constexpr float GLYPH_HEIGHT = 54.0f;
constexpr float CELL_STEP_X = 43.0f;
constexpr float CELL_STEP_Y = 87.0f;
constexpr int CELLS_PER_ROW = 11;
// In cell order, row by row; the apostrophe opens a fifth row.
constexpr const char* ATLAS_CHARACTERS = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ.:/?-+!%'";
// Distance between the left edges of neighbouring characters on screen.
constexpr float ADVANCE = 45.0f;

constexpr int VERTICES_PER_CHAR = 4;
constexpr int FLOATS_PER_VERTEX = 4;
constexpr GLsizei STRIDE = FLOATS_PER_VERTEX * sizeof(float);

} // namespace

Text::Text(float x, float y, const char* text, float scale, glm::vec3 color, std::string fontTexture)
    : fontTexture(std::move(fontTexture))
    , program(nullptr)
    , x(x)
    , y(y)
    , vertexData(nullptr)
    , vertexCount(0)
    , length(0)
    , text(nullptr)
    , scale(scale)
    , alpha(1.0f)
    , visible(true)
    , fading(false)
    , fadeDuration(0.0f)
    , fadeTimeLeft(0.0f)
    , fontTextureId(0)
    , dirty(false)
    , color(color)
    , vbo(0)
    , vao(0)
{
    copyText(text);
}

Text::~Text()
{
    // The font is given back like any other texture, so the cache's count
    // stays true; the HUD's texts keep it decoded for the whole run anyway.
    if (fontTextureId != 0)
        TextureManager::getInstance()->freeTexture(fontTexture);
    if (program != nullptr)
        ProgramManager::getInstance()->freeProgram(VERTEX_SHADER, FRAGMENT_SHADER, "");
    releaseBuffers();
    delete[] text;
}

void Text::copyText(const char* source)
{
    delete[] text;
    length = static_cast<int>(std::strlen(source));
    text = new char[length + 1];
    std::memcpy(text, source, static_cast<size_t>(length) + 1);
}

Text::CharBounds Text::getCharBounds(char c)
{
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte == ' ')
        return CharBounds{0.0f, 0.0f, 0.0f, 0.0f};
    int index = 0;
    const char upper = static_cast<char>(byte < 128 ? std::toupper(byte) : byte);
    const char* found = upper != '\0' ? std::strchr(ATLAS_CHARACTERS, upper) : nullptr;
    if (found != nullptr)
        index = static_cast<int>(found - ATLAS_CHARACTERS);

    const float column = static_cast<float>(index % CELLS_PER_ROW);
    const float row = static_cast<float>(index / CELLS_PER_ROW);
    const float left = column * CELL_STEP_X;
    const float top = row * CELL_STEP_Y;
    return CharBounds{top / ATLAS_SIZE, (top + GLYPH_HEIGHT) / ATLAS_SIZE, (left + GLYPH_WIDTH) / ATLAS_SIZE,
                      left / ATLAS_SIZE};
}

void Text::fillVertices()
{
    const float glyphWidth = GLYPH_WIDTH * scale;
    const float glyphHeight = GLYPH_HEIGHT * scale;
    for (int i = 0; i < length; ++i) {
        const CharBounds cell = getCharBounds(text[i]);
        const float x0 = x + ADVANCE * static_cast<float>(i) * scale;
        const float corners[VERTICES_PER_CHAR * FLOATS_PER_VERTEX] = {
            x0,              y,               cell.left,  cell.bottom, //
            x0 + glyphWidth, y,               cell.right, cell.bottom, //
            x0,              y + glyphHeight, cell.left,  cell.top,    //
            x0 + glyphWidth, y + glyphHeight, cell.right, cell.top,
        };
        std::memcpy(vertexData + i * VERTICES_PER_CHAR * FLOATS_PER_VERTEX, corners, sizeof(corners));
    }
}

void Text::buildBuffers()
{
    vertexCount = VERTICES_PER_CHAR * length;
    vertexData = new float[static_cast<size_t>(vertexCount) * FLOATS_PER_VERTEX];
    fillVertices();

    glGenBuffers(1, &vbo);
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexCount) * STRIDE, vertexData, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, STRIDE, reinterpret_cast<void*>(0));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, STRIDE, reinterpret_cast<void*>(2 * sizeof(float)));
    glEnableVertexAttribArray(1);
    glBindVertexArray(0);
    dirty = false;
}

void Text::releaseBuffers()
{
    if (vertexData == nullptr)
        return;
    glDeleteVertexArrays(1, &vao);
    glDeleteBuffers(1, &vbo);
    delete[] vertexData;
    vertexData = nullptr;
    vao = 0;
    vbo = 0;
}

bool Text::setup()
{
    program = ProgramManager::getInstance()->loadProgram(VERTEX_SHADER, FRAGMENT_SHADER, "");
    // The atlas layout counts rows from the top of the picture: not flipped.
    fontTextureId = TextureManager::getInstance()->loadTexture(fontTexture, false);
    buildBuffers();
    return true;
}

void Text::setText(const char* newText)
{
    const int oldLength = length;
    copyText(newText);
    // Before setup there is nothing to refill; setup builds from the copy.
    if (vertexData == nullptr)
        return;
    if (length == oldLength) {
        fillVertices();
        dirty = true;
        return;
    }
    releaseBuffers();
    buildBuffers();
}

void Text::setText(const char* newText, float x)
{
    this->x = x;
    setText(newText);
}

void Text::setPos(float x, float y)
{
    if (MathUtil::fcmp(this->x, x) && MathUtil::fcmp(this->y, y))
        return;
    this->x = x;
    this->y = y;
    if (vertexData != nullptr) {
        fillVertices();
        dirty = true;
    }
}

void Text::setScale(float scale, bool rebuild)
{
    this->scale = scale;
    if (rebuild && vertexData != nullptr) {
        fillVertices();
        dirty = true;
    }
}

void Text::setFadeToTransparent(float seconds)
{
    fading = true;
    fadeDuration = seconds;
    fadeTimeLeft = seconds;
}

void Text::update(float dt)
{
    if (!fading)
        return;
    fadeTimeLeft -= dt;
    alpha = fadeTimeLeft / fadeDuration;
    if (fadeTimeLeft < 0.0f) {
        fadeDuration = 0.0f;
        fading = false;
        visible = false;
    }
}

bool Text::positionInsideText(float px, float py) const
{
    const float right = x + static_cast<float>(length) * ADVANCE * scale;
    const float top = y + GLYPH_HEIGHT * scale;
    return x < px && px < right && y < py && py < top;
}

glm::vec2 Text::dimensions(const char* text)
{
    return glm::vec2(static_cast<float>(std::strlen(text)) * ADVANCE, GLYPH_HEIGHT);
}

void Text::render(MatrixOwner* camera)
{
    if (!visible || program == nullptr)
        return;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    program->use();

    const GLuint id = program->getId();
    const GLint samplerLocation = glGetUniformLocation(id, "u_texture_sampler");
    const GLint alphaLocation = glGetUniformLocation(id, "u_alpha");
    const GLint worldLocation = glGetUniformLocation(id, "u_world_matrix");
    const GLint projectionLocation = glGetUniformLocation(id, "u_projection_matrix");
    const GLint colorLocation = glGetUniformLocation(id, "u_color");

    const glm::mat4 world(1.0f);
    glUniformMatrix4fv(worldLocation, 1, GL_FALSE, glm::value_ptr(world));
    glUniformMatrix4fv(projectionLocation, 1, GL_FALSE, glm::value_ptr(camera->getOrthogonalMatrix()));
    glUniform1f(alphaLocation, alpha);
    glUniform3fv(colorLocation, 1, glm::value_ptr(color));
    glUniform1i(samplerLocation, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, fontTextureId);

    if (dirty) {
        glBindBuffer(GL_ARRAY_BUFFER, vbo);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexCount) * STRIDE, vertexData, GL_STATIC_DRAW);
        dirty = false;
    }

    glBindVertexArray(vao);
    for (int i = 0; i < length; ++i) {
        // A space's cell is empty; drawing it would only smear the texel at
        // the atlas corner over the gap.
        if (text[i] == ' ')
            continue;
        glDrawArrays(GL_TRIANGLE_STRIP, i * VERTICES_PER_CHAR, VERTICES_PER_CHAR);
    }
    glBindVertexArray(0);

    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}
