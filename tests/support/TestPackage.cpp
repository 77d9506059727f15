#include "support/TestPackage.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "core/PackageManager.h"

TestPackage::TestPackage(const std::map<std::string, std::string>& entries)
{
    std::vector<std::string> names;
    for (const auto& [name, contents] : entries) {
        temp.write(name, contents);
        names.push_back(name);
    }
    chdirGuard = new ScopedChdir(temp.path());
    built = PackageManager::getInstance()->createPackage(names, "data.mv2", true);
}

TestPackage::~TestPackage()
{
    delete chdirGuard;
}

std::string readFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

uint32_t u32At(const std::string& bytes, size_t offset)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[offset + static_cast<size_t>(i)]);
    return value;
}
