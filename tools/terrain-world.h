#pragma once

#include <cstdint>
#include <ostream>

// A block world as a scene: a square of terrain columns (one rect each, from
// y = 0 to the column's height, sand in the valleys and grass above) over
// hills of noise, trees of a trunk and a ball of leaves, plants one voxel
// tall on the grass, and clouds floating above; each voxel a rect of one
// unit. The same seed writes the same file.
struct TerrainShape {
    uint32_t seed = 1;
    int side = 672;  // columns along x and along z, centred on the origin
    int highest = 35;
    int sandUpTo = 12;  // columns this low or lower are sand
    int cloudsFrom = 64, cloudsTo = 72;
};

// What a written world holds.
struct TerrainCount {
    long long columns = 0, terrainBlocks = 0, trunks = 0, leaves = 0, plants = 0, clouds = 0;
    int heightAtOrigin = 0;  // of the column from (0, 0) to (1, 1)
    long long voxels() const { return trunks + leaves + plants + clouds; }
};

TerrainCount writeTerrainScene(std::ostream& out, TerrainShape const& shape);
