#include "voxel-grid.h"

VoxelGrid::VoxelGrid(int sizeX, int sizeY, int sizeZ) : sizeX(sizeX), sizeY(sizeY), sizeZ(sizeZ) {
    blocks.resize(static_cast<size_t>(blocksAlong(0)) * blocksAlong(1) * blocksAlong(2));
}

int VoxelGrid::blocksAlong(int axis) const {
    int const size = axis == 0 ? sizeX : axis == 1 ? sizeY : sizeZ;
    return (size + BLOCK - 1) / BLOCK;
}

size_t VoxelGrid::blockIndex(int bx, int by, int bz) const {
    return (static_cast<size_t>(bx) * blocksAlong(1) + by) * blocksAlong(2) + bz;
}

uint8_t const* VoxelGrid::block(int bx, int by, int bz) const {
    return blocks[blockIndex(bx, by, bz)].get();
}

uint8_t VoxelGrid::at(int x, int y, int z) const {
    if (x < 0 || y < 0 || z < 0 || x >= sizeX || y >= sizeY || z >= sizeZ) return 0;
    uint8_t const* cells = blocks[blockIndex(x / BLOCK, y / BLOCK, z / BLOCK)].get();
    if (!cells) return 0;
    return cells[((x % BLOCK) * BLOCK + y % BLOCK) * BLOCK + z % BLOCK];
}

void VoxelGrid::set(int x, int y, int z, uint8_t colorIndex) {
    auto& cells = blocks[blockIndex(x / BLOCK, y / BLOCK, z / BLOCK)];
    if (!cells) cells = std::make_unique<uint8_t[]>(BLOCK * BLOCK * BLOCK);
    cells[((x % BLOCK) * BLOCK + y % BLOCK) * BLOCK + z % BLOCK] = colorIndex;
}
