#pragma once

#include <string>

#include "raylib-api.h"

// raylib's LoadModel, guarded: a .vox file is read and checked first, and a
// file that could crash or hang raylib's loader is not handed to it. Such a
// file is logged, naming it and what is wrong, and gets the model raylib
// gives for a file it cannot read, so the game goes on.
raylib::Model loadModelChecked(std::string const& path);
