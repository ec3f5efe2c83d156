#pragma once

#include <vector>

#include "voxel-parts.h"

// Goxel's .gox: chunks of blocks (each 16 x 16 x 16 voxels, RGBA, as a
// 64 x 64 PNG) and layers that place blocks by their positions, z up;
// shape layers (a cube, a sphere, a cylinder) are filled as Goxel fills
// them; hidden layers are left out. A layer's box is what its voxels span, as
// Goxel's own .vox export makes it. Raises FormatError where it cannot be
// followed.
VoxelParts readGox(std::vector<unsigned char> const& bytes);
