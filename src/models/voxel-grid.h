#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "raylib-api.h"

// What a colour of a palette is made of, as MagicaVoxel's materials say:
// diffuse (the default), emissive (its amount from 0 to 1: at 1 the colour
// shows whatever the light), glass (its transparency from 0 to 1) or metal
// (how metallic, 0 to 1, and how rough its sheen).
struct VoxMaterial {
    enum Kind : uint8_t { DIFFUSE, EMIT, GLASS, METAL } kind = DIFFUSE;
    float amount = 0;
    float rough = 0;
};

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
    std::array<VoxMaterial, 256> materials{};

private:
    size_t blockIndex(int bx, int by, int bz) const;
    std::vector<std::unique_ptr<uint8_t[]>> blocks;
};
