#pragma once

#include <string>
#include <vector>

// Every path packed into data.mv2, in package order: levels, particle
// systems, shaders, sounds, textures, unit textures. Every name the game or a
// level file asks the package for must be here.
std::vector<std::string> getAssetList();
