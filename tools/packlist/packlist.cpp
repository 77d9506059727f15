// Prints every path the game packs into data.mv2, one per line, in package
// order. The build uses it to tell whether all assets are in place.
#include <cstdio>

#include "core/AssetList.h"

int main()
{
    for (const std::string& path : getAssetList())
        std::printf("%s\n", path.c_str());
    return 0;
}
