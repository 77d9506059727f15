// levelmaps OUTPUT_DIR MAP...: turns each text map (data/levels/NAME.map) into
// the level bitmap OUTPUT_DIR/NAME.bmp. A bitmap is rewritten only when its
// bytes change, so the package is not rebuilt for nothing. Any map that does
// not parse is reported with its place and the tool exits with 1 without
// writing it.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "LevelMap.h"

namespace {

bool readFile(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream content;
    content << in.rdbuf();
    bytes = content.str();
    return true;
}

bool writeIfChanged(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::string old;
    if (readFile(path, old) && old == std::string(bytes.begin(), bytes.end()))
        return true;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// "data/levels/level1_1.map" -> "level1_1"
std::string mapName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

bool convert(const std::string& mapPath, const std::string& outputDir)
{
    std::string text;
    if (!readFile(mapPath, text)) {
        std::fprintf(stderr, "levelmaps: %s: cannot read the file\n", mapPath.c_str());
        return false;
    }
    levelmap::LevelMap map;
    std::string error;
    if (!levelmap::parse(text, map, error)) {
        std::fprintf(stderr, "levelmaps: %s: %s\n", mapPath.c_str(), error.c_str());
        return false;
    }
    const std::string bmpPath = outputDir + "/" + mapName(mapPath) + ".bmp";
    if (!writeIfChanged(bmpPath, levelmap::encodeBmp(map))) {
        std::fprintf(stderr, "levelmaps: %s: cannot write the file\n", bmpPath.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR MAP...\n", argv[0]);
        return 2;
    }
    bool ok = true;
    for (int i = 2; i < argc; ++i)
        ok = convert(argv[i], argv[1]) && ok;
    return ok ? 0 : 1;
}
