#pragma once

#include "vox-writer.h"

// A house of two floors to walk into, saved as a scene of several models
// placed, turned and grouped as MagicaVoxel saves them, in MagicaVoxel's
// axes (z up). Its door is on the +x side, its stairs straight behind it; a
// voxel is a quarter of a unit at the scale 1. Also, on a hidden layer and
// under a hidden node, a block each that must not show.
VoxScene house();

// A small lantern to stand beside it.
VoxModel lantern();
