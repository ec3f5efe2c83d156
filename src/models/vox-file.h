#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "raylib-api.h"

// The largest .vox file the game reads, the most models one may hold (each
// at most 256 voxels a side, as MagicaVoxel makes them), and the most
// voxels a scene of the file may place in all: every voxel of a file at
// the size limit, placed once (4 bytes a voxel).
inline constexpr size_t MAX_VOX_FILE_BYTES = 16u << 20;
inline constexpr int MAX_VOX_MODELS = 4096;
inline constexpr size_t MAX_COMPOSED_VOXELS = MAX_VOX_FILE_BYTES / 4;
// The widest scene along each axis, in voxels: MagicaVoxel's world.
inline constexpr int MAX_COMPOSED_SIDE = 2048;

// The palette of a file without an RGBA chunk, MagicaVoxel's default: a
// cube of six levels a channel, then ramps of red, green, blue and grey.
std::array<raylib::Color, 256> const& defaultVoxPalette();

// The voxels of a model as the game shows it, y up: a palette index per
// cell of sizeX x sizeY x sizeZ, 0 for an empty cell, kept in blocks of
// BLOCK cells a side where voxels are, so that a wide, sparse scene costs
// what its voxels do.
class VoxelGrid {
public:
    static constexpr int BLOCK = 32;

    VoxelGrid() = default;
    VoxelGrid(int sizeX, int sizeY, int sizeZ);

    // The cell's palette index; 0 outside the grid.
    uint8_t at(int x, int y, int z) const;
    // Sets a cell inside the grid.
    void set(int x, int y, int z, uint8_t colorIndex);
    // The cells of the block at block coordinates (bx, by, bz), each from 0
    // to below blocksAlong, x slowest and z fastest; null for a block
    // without voxels.
    uint8_t const* block(int bx, int by, int bz) const;
    // The blocks along an axis (0 for x, 1 for y, 2 for z).
    int blocksAlong(int axis) const;

    int sizeX = 0, sizeY = 0, sizeZ = 0;
    // Index 0 is never shown.
    std::array<raylib::Color, 256> palette{};

private:
    size_t blockIndex(int bx, int by, int bz) const;
    std::vector<std::unique_ptr<uint8_t[]>> blocks;
};

// What is wrong with a .vox file of this many bytes before it is read: too
// large to be a model. Empty when the size is fine.
std::string voxFileSizeProblem(unsigned long long bytes);

// Reads a .vox file and says what in it the game refuses: a truncated or
// damaged chunk, a model size outside 1 to 256, voxels outside their model
// or before any model size, too many models, a scene graph that cannot be
// followed (a rotation that is not one, a node missing or met twice on one
// path, a shape naming no model) or that places too many voxels or spans
// too far. Empty when the file is accepted; then grid, when given, holds
// its voxels.
//
// A file with a scene graph (transform nodes) shows as MagicaVoxel shows
// it: every model under every chain of visible transforms from the root
// (node 0), turned and moved by each transform's first frame, those on a
// hidden layer left out. A file without one shows its last model, read as
// raylib's loader has always read it: children in line, the palette's
// first 255 entries, bytes just past the end as zeros, the grid's sides
// rounded up to 16.
std::string readVoxFile(std::vector<unsigned char> const& data, VoxelGrid* grid = nullptr);

// The same check, without keeping the voxels.
inline std::string voxFileProblem(std::vector<unsigned char> const& data) {
    return readVoxFile(data);
}
