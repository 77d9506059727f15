#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes generated assets under the output directory. A file is rewritten
// only when its bytes differ from what is there, so unchanged assets keep
// their timestamps and the package is not rebuilt for nothing. All encoders
// are deterministic: the same pixels give the same bytes on every build.
class AssetWriter {
public:
    explicit AssetWriter(const std::string& outputDir);

    // 'path' is relative to the output directory, e.g. "textures/logo.png".
    bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) const;
    // RGBA pixels, top row first.
    bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba) const;
    bool writeJpeg(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba,
                   int quality = 92) const;
    bool writeBmp(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba) const;
    // Mono 16-bit 11025 Hz, the canonical 44-byte header.
    bool writeWav(const std::string& path, const std::vector<int16_t>& samples) const;

    const std::string& outputDir() const { return root; }

private:
    std::string root;
};
