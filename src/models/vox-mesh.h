#pragma once

#include <vector>

#include "raylib-api.h"
#include "vox-file.h"

// The most vertices one mesh of a model holds: its indices are 16 bits wide.
inline constexpr int MAX_VOX_MESH_VERTICES = 65532;

// The meshes of a voxel grid, built on the CPU: a quad for every face of a
// voxel whose neighbour there is empty, coloured from the palette, a voxel a
// quarter of a unit. The meshes are not uploaded; their arrays are raylib's
// to free with the model. Empty for a grid without voxels.
std::vector<raylib::Mesh> buildVoxMeshes(VoxelGrid const& grid);
