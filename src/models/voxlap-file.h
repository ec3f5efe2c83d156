#pragma once

#include <vector>

#include "voxel-parts.h"

// Voxlap's and SLAB6's .kv6: the surface voxels of a sprite, each with its
// colour and height, listed column by column with a table of how many each
// column holds; z points down. Raises FormatError where it cannot be
// followed.
VoxelParts readKv6(std::vector<unsigned char> const& bytes);
