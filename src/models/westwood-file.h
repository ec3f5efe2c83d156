#pragma once

#include <vector>

#include "voxel-parts.h"

// Westwood's .vxl ("Voxel Animation"): a palette and sections, each a grid
// of columns of spans (a run of empty cells, then voxels of a colour
// index), placed by its bounds; z up. A file whose palette is empty, to be
// shown with its game's, shows its indices on MagicaVoxel's default
// palette. Raises FormatError where it cannot be followed.
VoxelParts readVxl(std::vector<unsigned char> const& bytes);
