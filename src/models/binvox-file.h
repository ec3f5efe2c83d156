#pragma once

#include <vector>

#include "voxel-parts.h"

// The grey a binvox file's voxels show: the format has no colours.
inline constexpr raylib::Color BINVOX_GREY = {160, 160, 160, 255};

// binvox: a text header ("#binvox 1", the grid's sides, its place and scale
// in the mesh it came from) and the cells as runs of a value and a count,
// y fastest, then z, then x, y up. Raises FormatError where it cannot be
// followed.
VoxelParts readBinvox(std::vector<unsigned char> const& bytes);
