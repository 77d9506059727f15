#pragma once

#include <map>
#include <string>

#include <GL/glew.h>

#include "render/TextureHelper.h"

// The process-wide cache of GL textures decoded from the PNG, JPEG and BMP
// pictures in data.mv2. A picture is decoded once per path and shared; the GL
// texture is deleted when its last holder gives it back. The cache itself
// lives until the process ends.
class TextureManager {
public:
    static TextureManager* getInstance();

    // The texture for the picture at 'path', or 0 (logged) when it cannot be
    // read or decoded. The flip flag only counts for the request that decodes
    // the picture: later requests share that texture whatever they ask.
    GLuint loadTexture(std::string path, bool flipVertically);
    // Gives back one reference; unknown paths are ignored.
    void freeTexture(std::string path);

    // A new texture of 'pixels' that repeats across both edges and is read
    // with linear filtering, left bound; the picture textures are all made so.
    static GLuint createRepeatingTexture(GLint internalFormat, int width, int height, GLenum format, GLenum type,
                                         const void* pixels);

private:
    TextureManager() = default;
    TextureManager(const TextureManager&) = delete;
    TextureManager& operator=(const TextureManager&) = delete;

    // Decodes the picture at 'path' into a new mipmapped texture; 0 on failure.
    static GLuint decodeTexture(const std::string& path, bool flipVertically);

    static TextureManager* sInstance;

    std::map<std::string, TextureHelper*> textures;
};
