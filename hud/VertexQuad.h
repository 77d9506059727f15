#pragma once

#include <string>
#include <utility>

#include "render/ScreenQuad.h"

// A screen quad whose six vertices its owner writes itself, for pictures that
// show only part of a texture at a place of their own: the inventory draws
// every item icon through one of these, cut from the icon atlas, and sizes
// its information box with another.
class VertexQuad : public ScreenQuad {
public:
    static constexpr int FLOAT_COUNT = VERTEX_COUNT * FLOATS_PER_VERTEX;

    VertexQuad(int x, int y, int width, int height, std::string vertexShader, std::string fragmentShader)
        : ScreenQuad(x, y, width, height, std::move(vertexShader), std::move(fragmentShader))
    {
    }

    // Replaces all six vertices (x, y, u, v each); uploaded by the next render.
    void setVertices(const float (&vertices)[FLOAT_COUNT])
    {
        for (int i = 0; i < FLOAT_COUNT; ++i)
            vertexData[i] = vertices[i];
        dirty = true;
    }

    // Lays the vertices over a new rectangle, keeping their texture coordinates.
    void setRectangle(float left, float bottom, float w, float h)
    {
        x = left;
        y = bottom;
        width = w;
        height = h;
        const float corners[VERTEX_COUNT][2] = {
            {left, bottom + h}, {left, bottom}, {left + w, bottom}, {left, bottom + h}, {left + w, bottom}, {left + w, bottom + h},
        };
        for (int i = 0; i < VERTEX_COUNT; ++i) {
            vertexData[i * FLOATS_PER_VERTEX] = corners[i][0];
            vertexData[i * FLOATS_PER_VERTEX + 1] = corners[i][1];
        }
        dirty = true;
    }

    const float* getVertices() const { return vertexData; }
};
