#pragma once

#include <GL/glew.h>

// One entry of the texture cache: the GL texture and how many hold it.
struct TextureHelper {
    GLuint id = 0;
    int refCount = 0;
};
