#include "vox-writer.h"

#include <fstream>

void putU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

namespace {

using Bytes = std::vector<uint8_t>;

void putId(Bytes& out, char const* id) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(id[i]));
}

void putString(Bytes& out, std::string const& text) {
    putU32(out, static_cast<uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

void putDict(Bytes& out, std::vector<std::pair<std::string, std::string>> const& entries) {
    putU32(out, static_cast<uint32_t>(entries.size()));
    for (auto const& [key, value] : entries) {
        putString(out, key);
        putString(out, value);
    }
}

void putChunk(Bytes& out, char const* id, Bytes const& content) {
    putId(out, id);
    putU32(out, static_cast<uint32_t>(content.size()));
    putU32(out, 0);
    out.insert(out.end(), content.begin(), content.end());
}

void putModel(Bytes& out, VoxModel const& model) {
    Bytes size;
    putU32(size, static_cast<uint32_t>(model.sizeX));
    putU32(size, static_cast<uint32_t>(model.sizeY));
    putU32(size, static_cast<uint32_t>(model.sizeZ));
    Bytes voxels;
    putU32(voxels, static_cast<uint32_t>(model.voxels.size()));
    for (Voxel const& v : model.voxels) voxels.insert(voxels.end(), {v.x, v.y, v.z, v.colorIndex});
    putChunk(out, "SIZE", size);
    putChunk(out, "XYZI", voxels);
}

void putNode(Bytes& out, VoxNode const& node) {
    Bytes content;
    putU32(content, static_cast<uint32_t>(node.id));
    putDict(content, node.hidden ? std::vector<std::pair<std::string, std::string>>{{"_hidden", "1"}}
                                 : std::vector<std::pair<std::string, std::string>>{});
    if (node.kind == VoxNode::TRANSFORM) {
        putU32(content, static_cast<uint32_t>(node.child));
        putU32(content, 0xFFFFFFFF);
        putU32(content, static_cast<uint32_t>(node.layer));
        putU32(content, static_cast<uint32_t>(1 + node.extraFrames));
        auto const& t = node.translation;
        putDict(content, {{"_r", std::to_string(node.rotation)},
                          {"_t", std::to_string(t[0]) + " " + std::to_string(t[1]) + " " + std::to_string(t[2])}});
        for (int frame = 1; frame <= node.extraFrames; ++frame) putDict(content, {{"_f", std::to_string(frame)}});
        putChunk(out, "nTRN", content);
    } else if (node.kind == VoxNode::GROUP) {
        putU32(content, static_cast<uint32_t>(node.children.size()));
        for (int const child : node.children) putU32(content, static_cast<uint32_t>(child));
        putChunk(out, "nGRP", content);
    } else {
        putU32(content, 1);
        putU32(content, static_cast<uint32_t>(node.model));
        putDict(content, {});
        putChunk(out, "nSHP", content);
    }
}

Bytes fileOf(Bytes const& children) {
    Bytes file;
    putId(file, "VOX ");
    putU32(file, 150);
    putId(file, "MAIN");
    putU32(file, 0);
    putU32(file, static_cast<uint32_t>(children.size()));
    file.insert(file.end(), children.begin(), children.end());
    return file;
}

void putPalette(Bytes& out, std::array<VoxColor, 256> const& palette) {
    Bytes colors;
    for (VoxColor const& c : palette) colors.insert(colors.end(), {c.r, c.g, c.b, c.a});
    putChunk(out, "RGBA", colors);
}

void putMaterials(Bytes& out, std::vector<VoxMaterialEntry> const& materials) {
    for (VoxMaterialEntry const& material : materials) {
        Bytes content;
        putU32(content, static_cast<uint32_t>(material.colorIndex));
        putDict(content, material.properties);
        putChunk(out, "MATL", content);
    }
}

}  // namespace

uint8_t rotationByte(std::array<int, 3> column, std::array<int, 3> sign) {
    return static_cast<uint8_t>(column[0] | column[1] << 2 | (sign[0] < 0) << 4 | (sign[1] < 0) << 5 |
                                (sign[2] < 0) << 6);
}

Bytes encodeVox(VoxModel const& model) {
    Bytes children;
    putModel(children, model);
    putPalette(children, model.palette);
    putMaterials(children, model.materials);
    return fileOf(children);
}

Bytes encodeVox(VoxScene const& scene) {
    Bytes children;
    for (VoxModel const& model : scene.models) putModel(children, model);
    for (VoxNode const& node : scene.nodes) putNode(children, node);
    for (auto const& [id, hidden] : scene.layers) {
        Bytes layer;
        putU32(layer, static_cast<uint32_t>(id));
        putDict(layer, hidden ? std::vector<std::pair<std::string, std::string>>{{"_hidden", "1"}}
                              : std::vector<std::pair<std::string, std::string>>{});
        putU32(layer, 0xFFFFFFFF);
        putChunk(children, "LAYR", layer);
    }
    putPalette(children, scene.models.at(0).palette);
    putMaterials(children, scene.models.at(0).materials);
    return fileOf(children);
}

bool writeVox(std::string const& path, Bytes const& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<char const*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool writeVox(std::string const& path, VoxModel const& model) {
    return writeVox(path, encodeVox(model));
}
