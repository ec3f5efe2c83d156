#pragma once

#include <vector>

#include "quad-mesh.h"
#include "vox-file.h"

// The meshes of a voxel grid, built on the CPU: the faces of voxels whose
// neighbour is empty, a voxel a quarter of a unit, coloured from the palette.
// Neighbouring faces of one colour in one plane are merged into one quad
// (greedy meshing), so a flat side of one colour is two triangles whatever
// its size; the surface is exactly that of a quad for every face. A mesh
// holds the faces of one side only (-x, +x, -y, +y, -z, +z, in this order),
// so that a renderer can leave out those turned away from the camera. The
// meshes are on the CPU only; freeMeshArrays frees them.
// Empty for a grid without voxels.
std::vector<raylib::Mesh> buildVoxMeshes(VoxelGrid const& grid);
