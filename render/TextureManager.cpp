#include "render/TextureManager.h"

#include <cstdlib>

#include <stb_image.h>

#include "core/Log.h"
#include "core/PackageManager.h"

namespace {

constexpr const char* PACKAGE_FILE = "data.mv2";
constexpr int RGBA_COMPONENTS = 4;

} // namespace

TextureManager* TextureManager::sInstance = nullptr;

TextureManager* TextureManager::getInstance()
{
    if (sInstance == nullptr)
        sInstance = new TextureManager();
    return sInstance;
}

GLuint TextureManager::loadTexture(std::string path, bool flipVertically)
{
    auto found = textures.find(path);
    if (found != textures.end()) {
        found->second->refCount++;
        return found->second->id;
    }

    const GLuint id = decodeTexture(path, flipVertically);
    if (id == 0)
        return 0;
    TextureHelper* entry = new TextureHelper();
    entry->id = id;
    entry->refCount = 1;
    textures[path] = entry;
    return id;
}

GLuint TextureManager::decodeTexture(const std::string& path, bool flipVertically)
{
    stbi_set_flip_vertically_on_load(flipVertically ? 1 : 0);

    unsigned size = 0;
    void* bytes = PackageManager::getInstance()->load(PACKAGE_FILE, path, &size);
    if (bytes == nullptr) {
        log_error("Failed to load package data for %s", path.c_str());
        return 0;
    }
    int width = 0;
    int height = 0;
    int fileComponents = 0;
    stbi_uc* pixels = stbi_load_from_memory(static_cast<const stbi_uc*>(bytes), static_cast<int>(size), &width,
                                            &height, &fileComponents, RGBA_COMPONENTS);
    std::free(bytes);
    if (pixels == nullptr) {
        log_error("Failed to load image data (%s)", path.c_str());
        return 0;
    }

    const GLuint id = createRepeatingTexture(GL_RGBA, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glGenerateMipmap(GL_TEXTURE_2D);
    stbi_image_free(pixels);
    return id;
}

GLuint TextureManager::createRepeatingTexture(GLint internalFormat, int width, int height, GLenum format,
                                              GLenum type, const void* pixels)
{
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, type, pixels);
    return id;
}

void TextureManager::freeTexture(std::string path)
{
    auto found = textures.find(path);
    if (found == textures.end())
        return;
    TextureHelper* entry = found->second;
    entry->refCount--;
    if (entry->refCount == 0) {
        const GLuint id = entry->id;
        delete entry;
        textures.erase(found);
        glDeleteTextures(1, &id);
    }
}
