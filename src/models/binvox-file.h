#pragma once

#include <vector>

#include "voxel-parts.h"

// binvox: a text header ("#binvox 1", the grid's sides, its place and scale
// in the mesh it came from) and the cells as runs of a value and a count,
// y fastest, then z, then x, y up. Raises FormatError where it cannot be
// followed. The format has no colours: every voxel is of the one given.
VoxelParts readBinvox(std::vector<unsigned char> const& bytes, raylib::Color color);
