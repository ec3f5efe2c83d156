#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "raylib-api.h"

// The largest .vox file and the most voxels and models the game accepts: a
// model's mesh grows with its voxels, and no real model comes near these.
inline constexpr size_t MAX_VOX_FILE_BYTES = 16u << 20;
inline constexpr size_t MAX_VOX_VOXELS = 1u << 19;
inline constexpr int MAX_VOX_MODELS = 64;

// The voxels of a .vox file, as the game shows them: those of the file's
// last model, y up (the file's z), each side rounded up to a multiple of 16.
struct VoxelGrid {
    int sizeX = 0, sizeY = 0, sizeZ = 0;
    // A palette index per cell, 0 for an empty cell; z varies fastest.
    std::vector<uint8_t> cells;
    // Index 0 is never shown.
    std::array<raylib::Color, 256> palette{};

    // The cell's palette index; 0 outside the grid.
    uint8_t at(int x, int y, int z) const {
        if (x < 0 || y < 0 || z < 0 || x >= sizeX || y >= sizeY || z >= sizeZ) return 0;
        return cells[(static_cast<size_t>(x) * sizeY + y) * sizeZ + z];
    }
};

// What is wrong with a .vox file of this many bytes before it is read: too
// large to be a model. Empty when the size is fine.
std::string voxFileSizeProblem(unsigned long long bytes);

// Reads a .vox file's chunks and says what in it the game refuses: a
// truncated header or chunk, a model size outside 1 to 256, voxels outside
// their model or before any model size, too many models or voxels. Empty
// when the file is accepted; then grid, when given, holds its voxels.
//
// The chunks are read as MagicaVoxel's format describes and as raylib's
// loader has always read them: children in line, the palette's first 255
// entries, and bytes just past the end as zeros.
std::string readVoxFile(std::vector<unsigned char> const& data, VoxelGrid* grid = nullptr);

// The same check, without keeping the voxels.
inline std::string voxFileProblem(std::vector<unsigned char> const& data) {
    return readVoxFile(data);
}
