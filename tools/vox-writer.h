#pragma once

// Writes voxel models in MagicaVoxel's .vox format (version 150): a MAIN
// chunk holding SIZE, XYZI and RGBA chunks, in that order.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct VoxColor {
    uint8_t r, g, b, a;
};

struct Voxel {
    uint8_t x, y, z;     // z points up, as in MagicaVoxel
    uint8_t colorIndex;  // 1 to 255, into the palette
};

struct VoxModel {
    int sizeX = 0, sizeY = 0, sizeZ = 0;
    std::vector<Voxel> voxels;
    // Entry i is colour index i + 1, as the RGBA chunk stores it.
    std::array<VoxColor, 256> palette{};
};

// The file's bytes.
std::vector<uint8_t> encodeVox(VoxModel const& model);

// Writes the file; false when it cannot be written.
bool writeVox(std::string const& path, VoxModel const& model);
