#include "vox-writer.h"

#include <fstream>

namespace {

void putInt(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void putId(std::vector<uint8_t>& out, char const* id) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(id[i]));
}

void putChunk(std::vector<uint8_t>& out, char const* id, std::vector<uint8_t> const& content) {
    putId(out, id);
    putInt(out, static_cast<uint32_t>(content.size()));
    putInt(out, 0);
    out.insert(out.end(), content.begin(), content.end());
}

}  // namespace

std::vector<uint8_t> encodeVox(VoxModel const& model) {
    std::vector<uint8_t> size;
    putInt(size, static_cast<uint32_t>(model.sizeX));
    putInt(size, static_cast<uint32_t>(model.sizeY));
    putInt(size, static_cast<uint32_t>(model.sizeZ));

    std::vector<uint8_t> voxels;
    putInt(voxels, static_cast<uint32_t>(model.voxels.size()));
    for (Voxel const& v : model.voxels) voxels.insert(voxels.end(), {v.x, v.y, v.z, v.colorIndex});

    std::vector<uint8_t> palette;
    for (VoxColor const& c : model.palette) palette.insert(palette.end(), {c.r, c.g, c.b, c.a});

    std::vector<uint8_t> children;
    putChunk(children, "SIZE", size);
    putChunk(children, "XYZI", voxels);
    putChunk(children, "RGBA", palette);

    std::vector<uint8_t> file;
    putId(file, "VOX ");
    putInt(file, 150);
    putId(file, "MAIN");
    putInt(file, 0);
    putInt(file, static_cast<uint32_t>(children.size()));
    file.insert(file.end(), children.begin(), children.end());
    return file;
}

bool writeVox(std::string const& path, VoxModel const& model) {
    std::vector<uint8_t> const bytes = encodeVox(model);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<char const*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}
