#pragma once

#include <optional>
#include <vector>

#include "quad-mesh.h"
#include "vox-file.h"

// The side of a voxel in a model's meshes.
inline constexpr float VOXEL_SIDE = 0.25f;
// The most quads a model's meshes hold, about 124 MB on the CPU and as much
// on the GPU: the surface of any real model, merged, is far smaller, and a
// file of noise is refused rather than fill the memory.
inline constexpr size_t MAX_MODEL_QUADS = 1000000;

// The share of the light a corner of a face gets, by how shut in it is: by
// none, one or two of the three neighbours around it in front of the face,
// or in a corner.
inline constexpr float CORNER_LIGHT[4] = {1.0f, 0.8f, 0.65f, 0.5f};

// The meshes of a voxel grid, built on the CPU: the faces of voxels whose
// neighbour is empty, a voxel a quarter of a unit, coloured from the palette.
// Neighbouring faces of one colour in one plane of one block of the grid
// are merged into one quad (greedy meshing), so a flat side of one colour is
// two triangles a block; the surface is exactly that of a quad for every
// face. A mesh holds the faces of one side only (-x, +x, -y, +y, -z, +z, in
// this order), so that a renderer can leave out those turned away from the
// camera. The meshes are on the CPU only; freeMeshArrays frees them.
// Empty for a grid without voxels; none, when its surface needs more than
// MAX_MODEL_QUADS quads.
std::optional<std::vector<raylib::Mesh>> buildVoxMeshes(VoxelGrid const& grid);

// How shut in the corners of a model's faces are, as the texels of a
// texture to be filtered linearly, row by row: each corner keeps the share
// CORNER_LIGHT of its light, by how many of the three voxels around it in
// front of its face are filled.
struct CornerShades {
    // The longest side: larger textures are not drawn everywhere.
    static constexpr int MAX_SIDE = 4096;
    int width = 0, height = 0;
    std::vector<unsigned char> texels;
};

// The meshes of a grid as the rich looks draw them: the quads of
// buildVoxMeshes, their texture coordinates on the shades of their corners
// (each quad whose corners are not all alike has a patch of texels of its
// own, a texel a corner of its voxels' faces, so the shade blends across
// the quad as across each of its faces; quads alike at every corner share
// one). An emissive voxel's faces are never shaded, and when the grid has
// emissive or metal colours every vertex carries its colour's glow and
// sheen (see VoxMaterial) as its second texture coordinates. The faces of
// glass voxels come in meshes of their own, after the others (glassMeshes
// of them), their colours as transparent as the glass; the faces of other
// voxels behind glass show. None when the surface takes more than
// MAX_MODEL_QUADS quads or its shades more than MAX_SIDE rows.
struct ShadedMeshes {
    std::vector<raylib::Mesh> meshes;
    int glassMeshes = 0;
    CornerShades shades;
    // Whether any face has a metal's sheen.
    bool sheen = false;
};
std::optional<ShadedMeshes> buildShadedVoxMeshes(VoxelGrid const& grid);

// Where a grid's emissive voxels glow: a point for each cube of GLOW_CELL
// voxels a side holding any, at their middle, in the units of the meshes,
// with their mean colour and how strongly they glow; at most MAX_GLOWS.
struct GlowPoint {
    raylib::Vector3 position;
    raylib::Color color;
    float strength;
};
inline constexpr int GLOW_CELL = 4;
inline constexpr size_t MAX_GLOWS = 256;
std::vector<GlowPoint> glowPointsOf(VoxelGrid const& grid);
