#pragma once

#include <string>

#include "raylib-api.h"

// Loads a model file. A .vox file is read and checked by the game itself and
// its meshes are built on the CPU, so it can be measured without a window;
// they are uploaded to the GPU when a window exists. A file the check
// refuses is logged, naming it and what is wrong, and a file that cannot be
// read is left to raylib, which reports it: both get the model raylib gives
// for a file it cannot read (no meshes, one default material), so the game
// goes on. Other formats are raylib's and need a window.
raylib::Model loadModelChecked(std::string const& path);
