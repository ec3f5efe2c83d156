#include "voxlap-file.h"

#include <string>

#include "vox-file.h"

VoxelParts readKv6(std::vector<unsigned char> const& bytes) {
    ByteReader in(bytes);
    if (!in.has(4) || std::string(bytes.begin(), bytes.begin() + 4) != "Kvxl")
        throw FormatError("not a .kv6 file: it does not begin with \"Kvxl\"");
    in.skip(4);
    int32_t const sizeX = in.i32(), sizeY = in.i32(), sizeZ = in.i32();
    in.skip(12);  // the pivot
    uint32_t const count = in.u32();
    VoxelParts parts;
    parts.add({0, 0, 0}, {sizeX, sizeY, sizeZ});
    if (count > MAX_COMPOSED_VOXELS) in.refuse("more than " + std::to_string(MAX_COMPOSED_VOXELS) + " voxels");
    // The voxels come first, then how many each row of x and each column
    // holds: the columns' tables say where each voxel stands.
    size_t const voxelsAt = in.offset();
    in.skip(8 * size_t{count} + 4 * size_t(sizeX));
    ByteReader voxels(bytes, voxelsAt);
    size_t listed = 0;
    for (int x = 0; x < sizeX; ++x)
        for (int y = 0; y < sizeY; ++y) {
            uint16_t const column = in.u16();
            if ((listed += column) > count) in.refuse("its columns hold more voxels than it has");
            for (uint16_t i = 0; i < column; ++i) {
                uint8_t const b = voxels.u8(), g = voxels.u8(), r = voxels.u8();
                voxels.u8();
                uint16_t const z = voxels.u16();
                voxels.skip(2);  // the sides that show, and the normal
                if (z >= sizeZ) voxels.refuse("a voxel below the bottom of its column");
                // MagicaVoxel's axes: y turned back, z up.
                parts.addVoxel(x, sizeY - 1 - y, sizeZ - 1 - z, {r, g, b, 255});
            }
        }
    if (listed != count) in.refuse("its columns hold fewer voxels than it has");
    return parts;
}
