#include "goxel-file.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <map>
#include <string>

#include <png.h>

#include "vox-file.h"

namespace {

constexpr int BLOCK = 16;
constexpr size_t BLOCK_BYTES = BLOCK * BLOCK * BLOCK * 4;
// The most blocks a file may hold: as many as the voxels of a .vox, each
// block holding at least one.
constexpr size_t MAX_BLOCKS = MAX_COMPOSED_VOXELS / 64;

struct Chunk {
    std::string type;
    size_t at, size;
};

std::vector<Chunk> chunksOf(std::vector<unsigned char> const& bytes) {
    ByteReader in(bytes);
    if (!in.has(4) || std::string(bytes.begin(), bytes.begin() + 4) != "GOX ")
        throw FormatError("not a .gox file: it does not begin with \"GOX \"");
    in.skip(8);  // and the version
    std::vector<Chunk> chunks;
    while (in.has(1)) {
        std::vector<unsigned char> const type = in.take(4);
        size_t const size = in.u32();
        chunks.push_back({std::string(type.begin(), type.end()), in.offset(), size});
        in.skip(size + 4);  // and its checksum
    }
    return chunks;
}

// The block's voxels: a 64 x 64 RGBA picture, x fastest, then y, then z.
std::vector<unsigned char> blockOf(ByteReader& in, size_t size) {
    std::vector<unsigned char> const png = in.take(size);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<unsigned char> cells(BLOCK_BYTES);
    bool const read = png_image_begin_read_from_memory(&image, png.data(), png.size()) && image.width == 64 &&
                      image.height == 64 && (image.format = PNG_FORMAT_RGBA) &&
                      png_image_finish_read(&image, nullptr, cells.data(), 0, nullptr);
    png_image_free(&image);
    if (!read) in.refuse("a block that is not a 64 x 64 PNG picture");
    return cells;
}

// A layer's dictionary: its keys and their values, up to the chunk's end.
std::map<std::string, std::vector<unsigned char>> dictionaryOf(ByteReader& in, size_t end) {
    std::map<std::string, std::vector<unsigned char>> entries;
    while (in.offset() < end) {
        std::vector<unsigned char> const key = in.take(in.u32());
        entries[std::string(key.begin(), key.end())] = in.take(in.u32());
    }
    if (in.offset() != end) in.refuse("a layer's entries run past its end");
    return entries;
}

using Entries = std::map<std::string, std::vector<unsigned char>>;

// The voxels of a shape layer: the unit shape (a cube, a sphere, or a
// cylinder along z, each from -1 to 1) turned, scaled and moved by the
// layer's matrix, every voxel whose middle lies inside, of the layer's
// colour.
std::vector<ColoredVoxel> shapeVoxels(ByteReader& in, Entries const& entries) {
    std::string const name(entries.at("shape").begin(), entries.at("shape").end());
    enum { CUBE, SPHERE, CYLINDER } shape;
    if (name == "cube") {
        shape = CUBE;
    } else if (name == "sphere") {
        shape = SPHERE;
    } else if (name == "cylinder") {
        shape = CYLINDER;
    } else {
        in.refuse("a shape layer of the unknown shape \"" + printable(name) + "\"");
    }
    auto const valueOf = [&](char const* key, size_t size) {
        auto const value = entries.find(key);
        if (value == entries.end() || value->second.size() != size)
            in.refuse(std::string("a shape layer without its ") + key);
        return value->second;
    };
    std::vector<unsigned char> const matrix = valueOf("mat", 64), color = valueOf("color", 4);
    float f[16];
    std::memcpy(f, matrix.data(), sizeof f);
    raylib::Matrix const placed{f[0], f[4], f[8],  f[12], f[1], f[5], f[9],  f[13],
                                f[2], f[6], f[10], f[14], f[3], f[7], f[11], f[15]};
    raylib::Matrix const inverse = raylib::MatrixInvert(placed);
    std::array<float, 3> low{}, high{};
    for (int corner = 0; corner < 8; ++corner) {
        raylib::Vector3 const c = raylib::Vector3Transform(
            {corner & 1 ? 1.0f : -1.0f, corner & 2 ? 1.0f : -1.0f, corner & 4 ? 1.0f : -1.0f}, placed);
        float const at[3] = {c.x, c.y, c.z};
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = corner ? std::min(low[axis], at[axis]) : at[axis];
            high[axis] = corner ? std::max(high[axis], at[axis]) : at[axis];
        }
    }
    double cells = 1;
    for (int axis = 0; axis < 3; ++axis) {
        if (!(std::abs(low[axis]) < MAX_COMPOSED_SIDE && std::abs(high[axis]) < MAX_COMPOSED_SIDE))
            in.refuse("a shape layer reaching beyond " + std::to_string(MAX_COMPOSED_SIDE) + " voxels");
        cells *= std::ceil(high[axis]) - std::floor(low[axis]);
    }
    if (cells > 8.0 * MAX_COMPOSED_VOXELS) in.refuse("a shape layer too large to fill");
    auto const inside = [&](raylib::Vector3 q) {
        switch (shape) {
            case CUBE: return std::max({std::abs(q.x), std::abs(q.y), std::abs(q.z)}) <= 1;
            case SPHERE: return q.x * q.x + q.y * q.y + q.z * q.z <= 1;
            case CYLINDER: break;
        }
        return q.x * q.x + q.y * q.y <= 1 && std::abs(q.z) <= 1;
    };
    std::vector<ColoredVoxel> voxels;
    for (int x = static_cast<int>(std::floor(low[0])); x < std::ceil(high[0]); ++x)
        for (int y = static_cast<int>(std::floor(low[1])); y < std::ceil(high[1]); ++y)
            for (int z = static_cast<int>(std::floor(low[2])); z < std::ceil(high[2]); ++z) {
                raylib::Vector3 const middle{x + 0.5f, y + 0.5f, z + 0.5f};
                if (inside(raylib::Vector3Transform(middle, inverse)))
                    voxels.push_back({x, y, z, {color[0], color[1], color[2], 255}});
            }
    return voxels;
}

void addLayer(ByteReader& in, Chunk const& chunk, std::vector<std::vector<unsigned char>> const& blocks,
              VoxelParts& parts) {
    uint32_t const count = in.u32();
    if (count > MAX_BLOCKS) in.refuse("a layer of more than " + std::to_string(MAX_BLOCKS) + " blocks");
    std::vector<ColoredVoxel> voxels;
    for (uint32_t b = 0; b < count; ++b) {
        uint32_t const index = in.u32();
        int32_t const x = in.i32(), y = in.i32(), z = in.i32();
        in.u32();
        if (index >= blocks.size()) in.refuse("a layer names a block the file does not hold");
        if (std::max({std::abs(x), std::abs(y), std::abs(z)}) > MAX_COMPOSED_SIDE)
            in.refuse("a block placed beyond " + std::to_string(MAX_COMPOSED_SIDE) + " voxels");
        std::vector<unsigned char> const& cells = blocks[index];
        for (int i = 0; i < BLOCK * BLOCK * BLOCK; ++i) {
            unsigned char const* c = &cells[4 * size_t(i)];
            if (c[3] == 0) continue;
            if (voxels.size() + parts.voxels >= MAX_COMPOSED_VOXELS)
                in.refuse("more than " + std::to_string(MAX_COMPOSED_VOXELS) + " voxels");
            voxels.push_back({x + i % BLOCK, y + i / BLOCK % BLOCK, z + i / (BLOCK * BLOCK), {c[0], c[1], c[2], 255}});
        }
    }
    Entries const entries = dictionaryOf(in, chunk.at + chunk.size);
    auto const visible = entries.find("visible");
    bool const hidden = visible != entries.end() && !visible->second.empty() && visible->second[0] == 0;
    if (entries.count("shape")) voxels = shapeVoxels(in, entries);
    if (voxels.empty() || hidden) return;
    std::array<int, 3> low{INT_MAX, INT_MAX, INT_MAX}, high{INT_MIN, INT_MIN, INT_MIN};
    for (ColoredVoxel const& v : voxels) {
        int const at[3] = {v.x, v.y, v.z};
        for (int axis = 0; axis < 3; ++axis)
            low[axis] = std::min(low[axis], at[axis]), high[axis] = std::max(high[axis], at[axis]);
    }
    parts.add(low, {high[0] - low[0] + 1, high[1] - low[1] + 1, high[2] - low[2] + 1});
    for (ColoredVoxel const& v : voxels) parts.addVoxel(v.x - low[0], v.y - low[1], v.z - low[2], v.color);
}

}  // namespace

VoxelParts readGox(std::vector<unsigned char> const& bytes) {
    std::vector<std::vector<unsigned char>> blocks;
    VoxelParts parts;
    for (Chunk const& chunk : chunksOf(bytes)) {
        ByteReader in(bytes, chunk.at);
        if (chunk.type == "BL16") {
            if (blocks.size() >= MAX_BLOCKS) in.refuse("more than " + std::to_string(MAX_BLOCKS) + " blocks");
            blocks.push_back(blockOf(in, chunk.size));
        } else if (chunk.type == "LAYR") {
            addLayer(in, chunk, blocks, parts);
        }
    }
    return parts;
}
