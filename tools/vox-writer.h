#pragma once

// Writes voxel models in MagicaVoxel's .vox format (version 150): a MAIN
// chunk holding SIZE and XYZI chunks, a model each, then the scene graph
// when there is one (nTRN, nGRP and nSHP nodes, LAYR layers), then RGBA,
// then the materials (MATL).
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct VoxColor {
    uint8_t r, g, b, a;
};

struct Voxel {
    uint8_t x, y, z;     // z points up, as in MagicaVoxel
    uint8_t colorIndex;  // 1 to 255, into the palette
};

// A material of a colour index (a MATL chunk): its properties as
// MagicaVoxel writes them, such as {"_type", "_emit"}, {"_emit", "1"}.
struct VoxMaterialEntry {
    int colorIndex;
    std::vector<std::pair<std::string, std::string>> properties;
};

struct VoxModel {
    int sizeX = 0, sizeY = 0, sizeZ = 0;
    std::vector<Voxel> voxels;
    // Entry i is colour index i + 1, as the RGBA chunk stores it.
    std::array<VoxColor, 256> palette{};
    std::vector<VoxMaterialEntry> materials;
};

// A model of the given size whose voxel at (x, y, z) has colour index
// colorAt(x, y, z), or is empty where that is 0; its palette is left black.
VoxModel voxModelOf(int sizeX, int sizeY, int sizeZ, auto colorAt) {
    VoxModel model;
    model.sizeX = sizeX, model.sizeY = sizeY, model.sizeZ = sizeZ;
    for (int z = 0; z < sizeZ; ++z)
        for (int y = 0; y < sizeY; ++y)
            for (int x = 0; x < sizeX; ++x) {
                if (uint8_t const color = colorAt(x, y, z))
                    model.voxels.push_back({uint8_t(x), uint8_t(y), uint8_t(z), color});
            }
    return model;
}

// The rotation byte of a rotation matrix that takes axis column[i] of a
// vector to row i, with sign[i]: MagicaVoxel's packing. The identity is
// rotationByte({0, 1, 2}, {1, 1, 1}).
uint8_t rotationByte(std::array<int, 3> column, std::array<int, 3> sign);

// A node of the scene graph: a transform (one child, a layer, a rotation
// and a translation in its first frame), a group (children) or a shape (a
// model).
struct VoxNode {
    enum Kind { TRANSFORM, GROUP, SHAPE } kind;
    int id;
    bool hidden = false;
    int child = -1, layer = 0;
    uint8_t rotation = 4;
    std::array<int, 3> translation{};
    // Frames after the first, as animations have them.
    int extraFrames = 0;
    std::vector<int> children = {};
    int model = 0;
};

// Models placed by a scene graph whose root is node 0; the palette and the
// materials are the first model's.
struct VoxScene {
    std::vector<VoxModel> models;
    std::vector<VoxNode> nodes;
    // Layer ids and whether each is hidden.
    std::vector<std::pair<int, bool>> layers;
};

// Appends a 32-bit number, little-endian, as .vox and most other voxel
// formats write them.
void putU32(std::vector<uint8_t>& out, uint32_t value);

// The file's bytes.
std::vector<uint8_t> encodeVox(VoxModel const& model);
std::vector<uint8_t> encodeVox(VoxScene const& scene);

// Writes the file; false when it cannot be written.
bool writeVox(std::string const& path, std::vector<uint8_t> const& bytes);
bool writeVox(std::string const& path, VoxModel const& model);
