#include "model-writers.h"

#include <png.h>
#include <zlib.h>

#include <array>
#include <map>
#include <tuple>

#include <cstring>
#include <string>

namespace {

using Bytes = std::vector<uint8_t>;

void putText(Bytes& out, std::string const& text) {
    out.insert(out.end(), text.begin(), text.end());
}

// The voxels in the axes of Qubicle's files: y up, and in a left-handed
// file z towards the front (MagicaVoxel's -y); a right-handed file's front
// faces -z, its x turned with it.
struct QubicleCells {
    explicit QubicleCells(VoxModel const& model, bool rightHanded = false)
        : x(static_cast<uint32_t>(model.sizeX)),
          y(static_cast<uint32_t>(model.sizeZ)),
          z(static_cast<uint32_t>(model.sizeY)),
          colors(size_t{x} * y * z) {
        for (Voxel const& v : model.voxels) {
            VoxColor const c = model.palette[v.colorIndex - 1];
            size_t const at = rightHanded ? index(x - 1 - v.x, v.z, v.y) : index(v.x, v.z, z - 1 - v.y);
            colors[at] = {c.r, c.g, c.b, 255};
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

Bytes encodeQb(VoxModel const& model, bool packed, bool rightHanded) {
    QubicleCells const cells(model, rightHanded);
    Bytes out;
    for (uint32_t const word : {0x101u, 0u, rightHanded ? 1u : 0u, packed ? 1u : 0u, 0u, 1u}) putU32(out, word);
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
    putText(out, "#binvox 1\ndim " + std::to_string(sizeX) + " " + std::to_string(sizeZ) + " " + std::to_string(sizeY) +
                     "\ntranslate 0 0 0\nscale 1\ndata\n");
    for (size_t i = 0; i < filled.size();) {
        size_t run = 1;
        while (i + run < filled.size() && run < 255 && filled[i + run] == filled[i]) ++run;
        out.push_back(filled[i]), out.push_back(static_cast<uint8_t>(run));
        i += run;
    }
    return out;
}

Bytes encodeKv6(VoxModel const& model) {
    // Columns by x, then y turned back; z down.
    std::vector<std::vector<std::pair<uint16_t, VoxColor>>> columns(size_t(model.sizeX) * model.sizeY);
    for (Voxel const& v : model.voxels) {
        columns[size_t(v.x) * model.sizeY + (model.sizeY - 1 - v.y)].push_back(
            {static_cast<uint16_t>(model.sizeZ - 1 - v.z), model.palette[v.colorIndex - 1]});
    }
    Bytes out;
    putText(out, "Kvxl");
    for (int const side : {model.sizeX, model.sizeY, model.sizeZ}) putU32(out, static_cast<uint32_t>(side));
    for (int i = 0; i < 3; ++i) putU32(out, 0);
    putU32(out, static_cast<uint32_t>(model.voxels.size()));
    for (auto const& column : columns)
        for (auto const& [z, c] : column) {
            out.insert(out.end(), {c.b, c.g, c.r, 128});
            out.push_back(static_cast<uint8_t>(z)), out.push_back(static_cast<uint8_t>(z >> 8));
            out.push_back(63), out.push_back(0);
        }
    for (int x = 0; x < model.sizeX; ++x) {
        uint32_t row = 0;
        for (int y = 0; y < model.sizeY; ++y) row += static_cast<uint32_t>(columns[size_t(x) * model.sizeY + y].size());
        putU32(out, row);
    }
    for (auto const& column : columns) {
        out.push_back(static_cast<uint8_t>(column.size())), out.push_back(static_cast<uint8_t>(column.size() >> 8));
    }
    return out;
}

Bytes encodeVxl(VoxModel const& model) {
    int const columns = model.sizeX * model.sizeY;
    std::vector<std::vector<uint8_t>> cells(size_t(columns), std::vector<uint8_t>(size_t(model.sizeZ)));
    for (Voxel const& v : model.voxels) cells[size_t(v.y) * model.sizeX + v.x][v.z] = v.colorIndex;
    // Each column's spans: the empty cells skipped, the voxels, their count again.
    Bytes starts, ends, data;
    for (auto const& column : cells) {
        size_t const start = data.size();
        for (int z = 0; z < model.sizeZ;) {
            int skip = 0, count = 0;
            while (z + skip < model.sizeZ && column[z + skip] == 0) ++skip;
            while (z + skip + count < model.sizeZ && column[z + skip + count] != 0) ++count;
            if (count == 0 && skip > 0 && start == data.size()) break;  // an empty column
            data.push_back(static_cast<uint8_t>(skip)), data.push_back(static_cast<uint8_t>(count));
            for (int i = 0; i < count; ++i) data.push_back(column[z + skip + i]), data.push_back(0);
            data.push_back(static_cast<uint8_t>(count));
            z += skip + count;
        }
        bool const empty = data.size() == start;
        putU32(starts, empty ? 0xffffffffu : static_cast<uint32_t>(start));
        putU32(ends, empty ? 0xffffffffu : static_cast<uint32_t>(data.size() - 1));
    }
    Bytes body = starts;
    body.insert(body.end(), ends.begin(), ends.end());
    body.insert(body.end(), data.begin(), data.end());
    Bytes out;
    putText(out, "Voxel Animation");
    out.push_back(0);
    for (uint32_t const word : {1u, 1u, 1u, static_cast<uint32_t>(body.size())}) putU32(out, word);
    out.push_back(16), out.push_back(31);
    for (int i = 0; i < 256; ++i) {
        VoxColor const c = i == 0 ? VoxColor{} : model.palette[i - 1];
        out.insert(out.end(), {c.r, c.g, c.b});
    }
    putText(out, "shape");
    out.insert(out.end(), 11, 0);
    for (uint32_t const word : {0u, 1u, 2u}) putU32(out, word);
    out.insert(out.end(), body.begin(), body.end());
    for (uint32_t const offset : {0u, static_cast<uint32_t>(starts.size()), static_cast<uint32_t>(2 * starts.size())})
        putU32(out, offset);
    auto const putFloat = [&](float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        putU32(out, bits);
    };
    putFloat(1);
    for (int i = 0; i < 12; ++i) putFloat(i % 5 == 0 ? 1.0f : 0.0f);  // the identity, three rows of four
    for (int i = 0; i < 3; ++i) putFloat(0);
    for (int const side : {model.sizeX, model.sizeY, model.sizeZ}) putFloat(static_cast<float>(side));
    for (int const side : {model.sizeX, model.sizeY, model.sizeZ}) out.push_back(static_cast<uint8_t>(side));
    out.push_back(2);
    return out;
}

Bytes encodeGox(VoxModel const& model) {
    // Each block's voxels, x fastest, then y, then z, as RGBA.
    std::map<std::tuple<int, int, int>, Bytes> blocks;
    for (Voxel const& v : model.voxels) {
        Bytes& cells = blocks[{v.x / 16 * 16, v.y / 16 * 16, v.z / 16 * 16}];
        cells.resize(16 * 16 * 16 * 4);
        VoxColor const c = model.palette[v.colorIndex - 1];
        size_t const at = 4 * ((size_t(v.z % 16) * 16 + v.y % 16) * 16 + v.x % 16);
        cells[at] = c.r, cells[at + 1] = c.g, cells[at + 2] = c.b, cells[at + 3] = 255;
    }
    Bytes out;
    putText(out, "GOX ");
    putU32(out, 2);
    auto const putChunk = [&](char const* type, Bytes const& data) {
        putText(out, type);
        putU32(out, static_cast<uint32_t>(data.size()));
        out.insert(out.end(), data.begin(), data.end());
        putU32(out, 0);  // the checksum, which readers leave alone
    };
    Bytes layer;
    putU32(layer, static_cast<uint32_t>(blocks.size()));
    uint32_t index = 0;
    for (auto const& [at, cells] : blocks) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = 64, image.height = 64, image.format = PNG_FORMAT_RGBA;
        png_alloc_size_t size = 0;
        png_image_write_to_memory(&image, nullptr, &size, 0, cells.data(), 0, nullptr);
        Bytes png(size);
        png_image_write_to_memory(&image, png.data(), &size, 0, cells.data(), 0, nullptr);
        png.resize(size);
        putChunk("BL16", png);
        // Placed away from the origin: where a layer stands does not change
        // the model.
        auto const [x, y, z] = at;
        for (uint32_t const word : {index++, uint32_t(x + 16), uint32_t(y - 32), uint32_t(z + 48), 0u})
            putU32(layer, word);
    }
    auto const putEntry = [&](std::string const& key, Bytes const& value) {
        putU32(layer, static_cast<uint32_t>(key.size()));
        putText(layer, key);
        putU32(layer, static_cast<uint32_t>(value.size()));
        layer.insert(layer.end(), value.begin(), value.end());
    };
    putEntry("name", {'s', 'h', 'a', 'p', 'e'});
    putEntry("visible", {1});
    putChunk("LAYR", layer);
    return out;
}

namespace {

// Writes NBT: big-endian, each tag its type, its name, then its value.
class NbtWriter {
public:
    enum Type : uint8_t { END, BYTE, SHORT, INT, LONG, BYTE_ARRAY = 7, STRING, LIST, COMPOUND, LONG_ARRAY = 12 };

    void begin(std::string const& name) { head(COMPOUND, name); }
    void end() { out.push_back(END); }
    void whole(Type type, std::string const& name, int64_t value) {
        head(type, name);
        number(value, type == SHORT ? 2 : type == INT ? 4 : type == LONG ? 8 : 1);
    }
    void text(std::string const& name, std::string const& value) {
        head(STRING, name);
        string(value);
    }
    void bytes(std::string const& name, Bytes const& values) {
        head(BYTE_ARRAY, name);
        number(static_cast<int64_t>(values.size()), 4);
        out.insert(out.end(), values.begin(), values.end());
    }
    void longs(std::string const& name, std::vector<uint64_t> const& values) {
        head(LONG_ARRAY, name);
        number(static_cast<int64_t>(values.size()), 4);
        for (uint64_t const value : values) number(static_cast<int64_t>(value), 8);
    }
    // A list of compounds, each written by the caller between item() and end().
    void compounds(std::string const& name, size_t count) {
        head(LIST, name);
        out.push_back(COMPOUND);
        number(static_cast<int64_t>(count), 4);
    }
    void xyz(std::string const& name, std::array<int, 3> values) {
        begin(name);
        for (int axis = 0; axis < 3; ++axis) whole(INT, std::string(1, "xyz"[axis]), values[axis]);
        end();
    }
    // The tags, gzip-packed.
    Bytes gzipped() const {
        z_stream stream{};
        deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
        Bytes packed(deflateBound(&stream, static_cast<uLong>(out.size())));
        stream.next_in = const_cast<Bytef*>(out.data());
        stream.avail_in = static_cast<uInt>(out.size());
        stream.next_out = packed.data();
        stream.avail_out = static_cast<uInt>(packed.size());
        deflate(&stream, Z_FINISH);
        packed.resize(stream.total_out);
        deflateEnd(&stream);
        return packed;
    }

private:
    void head(Type type, std::string const& name) {
        out.push_back(type);
        string(name);
    }
    void string(std::string const& value) {
        number(static_cast<int64_t>(value.size()), 2);
        putText(out, value);
    }
    void number(int64_t value, int size) {
        for (int i = size - 1; i >= 0; --i)
            out.push_back(static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i)));
    }
    Bytes out;
};

// The model's cells in Minecraft's axes, y up, z south (MagicaVoxel's -y):
// each a palette index, 0 for air and i + 1 for blocks[i]; x fastest, then
// z, then y.
struct BlockCells {
    explicit BlockCells(VoxModel const& model)
        : x(model.sizeX), y(model.sizeZ), z(model.sizeY), indices(size_t(x) * y * z) {
        for (Voxel const& v : model.voxels) indices[(size_t(v.z) * z + (z - 1 - v.y)) * x + v.x] = v.colorIndex;
    }
    int x, y, z;
    std::vector<uint32_t> indices;
};

}  // namespace

Bytes encodeLitematic(VoxModel const& model, std::vector<std::string> const& blocks) {
    BlockCells const cells(model);
    int bits = 2;
    while ((size_t{1} << bits) < blocks.size() + 1) ++bits;
    std::vector<uint64_t> longs((cells.indices.size() * bits + 63) / 64);
    for (size_t i = 0; i < cells.indices.size(); ++i) {
        size_t const bit = i * bits;
        longs[bit / 64] |= uint64_t{cells.indices[i]} << (bit % 64);
        if (bit % 64 + bits > 64) longs[bit / 64 + 1] |= uint64_t{cells.indices[i]} >> (64 - bit % 64);
    }
    NbtWriter nbt;
    nbt.begin("");
    nbt.whole(NbtWriter::INT, "Version", 6);
    nbt.begin("Regions");
    nbt.begin("shape");
    nbt.xyz("Position", {0, 0, 0});
    nbt.xyz("Size", {cells.x, cells.y, cells.z});
    nbt.compounds("BlockStatePalette", blocks.size() + 1);
    nbt.text("Name", "minecraft:air");
    nbt.end();
    for (std::string const& block : blocks) {
        nbt.text("Name", block);
        nbt.end();
    }
    nbt.longs("BlockStates", longs);
    nbt.end();
    nbt.end();
    nbt.end();
    return nbt.gzipped();
}

Bytes encodeSchem(VoxModel const& model, std::vector<std::string> const& blocks, int version) {
    BlockCells const cells(model);
    Bytes data;
    for (uint32_t index : cells.indices) {
        for (; index >= 0x80; index >>= 7) data.push_back(static_cast<uint8_t>(index & 0x7f) | 0x80);
        data.push_back(static_cast<uint8_t>(index));
    }
    // Version 3 nests the schematic in a compound of its name, and its
    // palette and data in one of blocks.
    bool const third = version == 3;
    NbtWriter nbt;
    if (third) nbt.begin("");
    nbt.begin("Schematic");
    nbt.whole(NbtWriter::INT, "Version", version);
    nbt.whole(NbtWriter::SHORT, "Width", cells.x);
    nbt.whole(NbtWriter::SHORT, "Height", cells.y);
    nbt.whole(NbtWriter::SHORT, "Length", cells.z);
    if (third) nbt.begin("Blocks");
    nbt.begin("Palette");
    nbt.whole(NbtWriter::INT, "minecraft:air", 0);
    for (size_t i = 0; i < blocks.size(); ++i) nbt.whole(NbtWriter::INT, blocks[i], static_cast<int64_t>(i + 1));
    nbt.end();
    nbt.bytes(third ? "Data" : "BlockData", data);
    nbt.end();
    if (third) nbt.end(), nbt.end();
    return nbt.gzipped();
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
