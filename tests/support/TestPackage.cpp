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
