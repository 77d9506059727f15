#pragma once

#include <map>
#include <string>

#include <GL/glew.h>

// The process-wide cache of relief slopes, one texture per normal picture:
// at every texel the brightness of the texel before it minus that of the
// texel after it, across (red) and up (green), wrapping round the edges as
// the picture repeats. Sampled with the picture's own linear filter, it
// gives at any point the same slopes as sampling the picture's brightness a
// texel to either side, in one read instead of four. Each texture is made
// from the picture's GL texture when its first holder asks and deleted when
// the last one gives it back; the cache itself lives until the process ends.
class ReliefTextures {
public:
    static ReliefTextures* getInstance();

    // The slopes of the normal picture at 'path', whose GL texture is
    // 'picture'; 0 when the picture is 0.
    GLuint acquire(const std::string& path, GLuint picture);
    // Gives back one reference; unknown paths are ignored.
    void release(const std::string& path);

private:
    ReliefTextures() = default;
    ReliefTextures(const ReliefTextures&) = delete;
    ReliefTextures& operator=(const ReliefTextures&) = delete;

    // Reads the picture back and makes its slope texture.
    static GLuint makeSlopes(GLuint picture);

    struct Entry {
        GLuint texture;
        int holders;
    };

    static ReliefTextures* sInstance;

    std::map<std::string, Entry> entries;
};
