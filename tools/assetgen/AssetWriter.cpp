#include "AssetWriter.h"

#include <stb_image_write.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

void appendBytes(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

void putU32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void putU16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void putTag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

AssetWriter::AssetWriter(const std::string& outputDir) : root(outputDir) {}

bool AssetWriter::writeFile(const std::string& path, const std::vector<uint8_t>& bytes) const
{
    namespace fs = std::filesystem;
    const fs::path target = fs::path(root) / path;
    {
        std::ifstream existing(target, std::ios::binary);
        if (existing) {
            const std::vector<uint8_t> old((std::istreambuf_iterator<char>(existing)), std::istreambuf_iterator<char>());
            if (old == bytes)
                return true;
        }
    }
    std::error_code error;
    fs::create_directories(target.parent_path(), error);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "assetgen: failed to write %s\n", target.c_str());
        return false;
    }
    return true;
}

bool AssetWriter::writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba) const
{
    std::vector<uint8_t> bytes;
    if (!stbi_write_png_to_func(appendBytes, &bytes, width, height, 4, rgba.data(), width * 4))
        return false;
    return writeFile(path, bytes);
}

bool AssetWriter::writeJpeg(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba,
                            int quality) const
{
    std::vector<uint8_t> bytes;
    if (!stbi_write_jpg_to_func(appendBytes, &bytes, width, height, 4, rgba.data(), quality))
        return false;
    return writeFile(path, bytes);
}

bool AssetWriter::writeBmp(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba) const
{
    std::vector<uint8_t> bytes;
    if (!stbi_write_bmp_to_func(appendBytes, &bytes, width, height, 4, rgba.data()))
        return false;
    return writeFile(path, bytes);
}

bool AssetWriter::writeWav(const std::string& path, const std::vector<int16_t>& samples) const
{
    constexpr uint32_t SAMPLE_RATE = 11025;
    const uint32_t dataSize = static_cast<uint32_t>(samples.size() * sizeof(int16_t));
    std::vector<uint8_t> bytes;
    bytes.reserve(44 + dataSize);
    putTag(bytes, "RIFF");
    putU32(bytes, 36 + dataSize);
    putTag(bytes, "WAVE");
    putTag(bytes, "fmt ");
    putU32(bytes, 16);
    putU16(bytes, 1);                // PCM
    putU16(bytes, 1);                // mono
    putU32(bytes, SAMPLE_RATE);
    putU32(bytes, SAMPLE_RATE * 2);  // byte rate
    putU16(bytes, 2);                // block align
    putU16(bytes, 16);               // bits per sample
    putTag(bytes, "data");
    putU32(bytes, dataSize);
    for (int16_t sample : samples)
        putU16(bytes, static_cast<uint16_t>(sample));
    return writeFile(path, bytes);
}
