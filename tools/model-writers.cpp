#include "model-writers.h"

#include <zlib.h>

#include <string>

namespace {

using Bytes = std::vector<uint8_t>;

void putU32(Bytes& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void putText(Bytes& out, std::string const& text) {
    out.insert(out.end(), text.begin(), text.end());
}

// The voxels in the axes of Qubicle's left-handed files: y up, z towards
// the front (MagicaVoxel's -y).
struct QubicleCells {
    explicit QubicleCells(VoxModel const& model)
        : x(static_cast<uint32_t>(model.sizeX)),
          y(static_cast<uint32_t>(model.sizeZ)),
          z(static_cast<uint32_t>(model.sizeY)),
          colors(size_t{x} * y * z) {
        for (Voxel const& v : model.voxels) {
            VoxColor const c = model.palette[v.colorIndex - 1];
            colors[index(v.x, v.z, z - 1 - v.y)] = {c.r, c.g, c.b, 255};
        }
    }
    size_t index(uint32_t i, uint32_t j, uint32_t k) const { return (size_t{k} * y + j) * x + i; }
    uint32_t x, y, z;
    std::vector<VoxColor> colors;  // z slowest, x fastest; alpha 0 where empty
};

uint32_t packedColor(VoxColor c) {
    return uint32_t{c.r} | uint32_t{c.g} << 8 | uint32_t{c.b} << 16 | uint32_t{c.a} << 24;
}

}  // namespace

Bytes encodeQb(VoxModel const& model, bool packed) {
    QubicleCells const cells(model);
    Bytes out;
    for (uint32_t const word : {0x101u, 0u, 0u, packed ? 1u : 0u, 0u, 1u}) putU32(out, word);
    std::string const name = "shape";
    out.push_back(static_cast<uint8_t>(name.size()));
    putText(out, name);
    for (uint32_t const side : {cells.x, cells.y, cells.z}) putU32(out, side);
    for (int i = 0; i < 3; ++i) putU32(out, 0);
    if (!packed) {
        for (VoxColor const c : cells.colors) putU32(out, packedColor(c));
        return out;
    }
    size_t const slice = size_t{cells.x} * cells.y;
    for (uint32_t k = 0; k < cells.z; ++k) {
        for (size_t i = 0; i < slice;) {
            uint32_t const color = packedColor(cells.colors[k * slice + i]);
            size_t run = 1;
            while (i + run < slice && packedColor(cells.colors[k * slice + i + run]) == color) ++run;
            if (run > 2) {
                for (uint32_t const word : {2u, static_cast<uint32_t>(run), color}) putU32(out, word);
            } else {
                for (size_t r = 0; r < run; ++r) putU32(out, color);
            }
            i += run;
        }
        putU32(out, 6);
    }
    return out;
}

Bytes encodeQbt(VoxModel const& model) {
    QubicleCells const cells(model);
    Bytes out;
    putText(out, "QB 2");
    out.push_back(1), out.push_back(0);
    for (int i = 0; i < 3; ++i) putU32(out, 0x3f800000);  // a scale of 1.0f
    putText(out, "COLORMAP");
    putU32(out, 0);
    putText(out, "DATATREE");
    // x slowest, then z, y fastest.
    Bytes raw;
    for (uint32_t i = 0; i < cells.x; ++i)
        for (uint32_t k = 0; k < cells.z; ++k)
            for (uint32_t j = 0; j < cells.y; ++j) {
                VoxColor const c = cells.colors[cells.index(i, j, k)];
                raw.insert(raw.end(), {c.r, c.g, c.b, static_cast<uint8_t>(c.a ? 0x7f : 0)});
            }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packedSize);
    compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(packedSize);
    Bytes matrix;
    std::string const name = "shape";
    putU32(matrix, static_cast<uint32_t>(name.size()));
    putText(matrix, name);
    for (int i = 0; i < 3; ++i) putU32(matrix, 0);  // the position
    for (int i = 0; i < 3; ++i) putU32(matrix, 1);  // the local scale
    for (int i = 0; i < 3; ++i) putU32(matrix, 0);  // the pivot
    for (uint32_t const side : {cells.x, cells.y, cells.z}) putU32(matrix, side);
    putU32(matrix, static_cast<uint32_t>(packed.size()));
    matrix.insert(matrix.end(), packed.begin(), packed.end());
    putU32(out, 0);
    putU32(out, static_cast<uint32_t>(matrix.size()));
    out.insert(out.end(), matrix.begin(), matrix.end());
    return out;
}

Bytes encodeBinvox(VoxModel const& model) {
    int const sizeX = model.sizeX, sizeY = model.sizeZ, sizeZ = model.sizeY;
    std::vector<uint8_t> filled(size_t(sizeX) * sizeY * sizeZ);
    // y fastest, then z (towards the front: MagicaVoxel's -y), then x.
    for (Voxel const& v : model.voxels) filled[(size_t(v.x) * sizeZ + (sizeZ - 1 - v.y)) * sizeY + v.z] = 1;
    Bytes out;
    putText(out, "#binvox 1\ndim " + std::to_string(sizeX) + " " + std::to_string(sizeZ) + " " +
                     std::to_string(sizeY) + "\ntranslate 0 0 0\nscale 1\ndata\n");
    for (size_t i = 0; i < filled.size();) {
        size_t run = 1;
        while (i + run < filled.size() && run < 255 && filled[i + run] == filled[i]) ++run;
        out.push_back(filled[i]), out.push_back(static_cast<uint8_t>(run));
        i += run;
    }
    return out;
}

VoxScene placedAlone(VoxModel const& model) {
    VoxScene scene;
    scene.models = {model};
    scene.nodes = {{.kind = VoxNode::TRANSFORM, .id = 0, .child = 1},
                   {.kind = VoxNode::GROUP, .id = 1, .children = {2}},
                   {.kind = VoxNode::TRANSFORM, .id = 2, .child = 3},
                   {.kind = VoxNode::SHAPE, .id = 3, .model = 0}};
    return scene;
}
