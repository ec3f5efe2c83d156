#pragma once

#include <filesystem>
#include <string>

// The folder that holds the game's assets/: the working directory when it
// has one, else the assets installed beside the program, ../share/tessarine
// from the program's own folder (so an installed tree can be moved), else
// the project folder a program of the build tree was built from. Empty when
// none has them.
std::filesystem::path assetFolder();

// The root to read assets from (see assetPath) for the folder found: empty
// for the working directory, so that paths stay as short as they are
// written.
std::string assetRootOf(std::filesystem::path const& folder);
