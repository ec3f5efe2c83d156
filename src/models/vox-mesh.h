#pragma once

#include <vector>

#include "raylib-api.h"
#include "vox-file.h"

// The most vertices one mesh of a model holds: its indices are 16 bits wide.
inline constexpr int MAX_VOX_MESH_VERTICES = 65532;

// The meshes of a voxel grid, built on the CPU: the faces of voxels whose
// neighbour is empty, a voxel a quarter of a unit, coloured from the palette.
// Neighbouring faces of one colour in one plane are merged into one quad
// (greedy meshing), so a flat side of one colour is two triangles whatever
// its size; the surface is exactly that of a quad for every face. A mesh
// holds the faces of one side only (-x, +x, -y, +y, -z, +z, in this order),
// so that a renderer can leave out those turned away from the camera. The
// meshes are not uploaded; their arrays are raylib's to free with the model.
// Empty for a grid without voxels.
std::vector<raylib::Mesh> buildVoxMeshes(VoxelGrid const& grid);
