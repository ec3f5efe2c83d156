#pragma once

#include <string>

// A file of the game's assets, named from the folder that holds assets/
// ("assets/images/cursor.png"), found under root: the folder the game
// found them in, or the working directory when root is empty. A path that
// is absolute stays as it is.
std::string assetPath(std::string const& root, std::string const& relative);
