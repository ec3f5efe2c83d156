#include "vox-check.h"

#include <cstdint>
#include <cstring>

namespace {

// MagicaVoxel's own limit on a model's size along each axis.
constexpr uint32_t MAX_MODEL_SIDE = 256;
constexpr size_t CHUNK_HEADER = 12;
constexpr size_t PALETTE_BYTES_READ = 255 * 4;

class Reader {
public:
    explicit Reader(std::vector<unsigned char> const& data) : data(data) {}

    size_t at = 0;
    // Whether n more bytes lie within the data and its padding.
    bool canRead(size_t n) const { return at <= data.size() + VOX_READ_PADDING && n <= data.size() + VOX_READ_PADDING - at; }
    bool atEnd() const { return at >= data.size(); }
    uint32_t u32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(byte(at + i)) << (8 * i);
        at += 4;
        return value;
    }
    unsigned char byte(size_t i) const { return i < data.size() ? data[i] : 0; }

private:
    std::vector<unsigned char> const& data;
};

std::string idAt(Reader const& reader, size_t at) {
    std::string id;
    for (size_t i = 0; i < 4; ++i) {
        unsigned char const c = reader.byte(at + i);
        id += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
    }
    return id;
}

}  // namespace

std::string voxFileSizeProblem(unsigned long long bytes) {
    if (bytes > MAX_VOX_FILE_BYTES) return "the file is larger than 16 MiB";
    return "";
}

std::string voxFileProblem(std::vector<unsigned char> const& data) {
    if (std::string sizeProblem = voxFileSizeProblem(data.size()); !sizeProblem.empty()) return sizeProblem;
    if (data.size() < 8) return "the file is too short for a .vox header";
    if (std::memcmp(data.data(), "VOX ", 4) != 0) return "the file does not start with \"VOX \"";
    Reader reader(data);
    reader.at = 4;
    uint32_t const version = reader.u32();
    if (version != 150 && version != 200) return "unsupported .vox version " + std::to_string(version);

    bool sized = false;
    uint32_t size[3] = {0, 0, 0};
    int models = 0;
    size_t voxels = 0;
    while (!reader.atEnd()) {
        size_t const chunkStart = reader.at;
        if (!reader.canRead(CHUNK_HEADER)) return "the file ends inside a chunk header";
        std::string const id = idAt(reader, chunkStart);
        reader.at += 4;
        uint32_t const contentSize = reader.u32();
        reader.u32();  // size of the children, which are read in line

        if (id == "SIZE") {
            if (!reader.canRead(12)) return "the file ends inside a SIZE chunk";
            if (++models > MAX_VOX_MODELS) return "more than " + std::to_string(MAX_VOX_MODELS) + " models";
            for (uint32_t& side : size) side = reader.u32();
            for (uint32_t const side : size) {
                if (side < 1 || side > MAX_MODEL_SIDE) {
                    return "a model size of " + std::to_string(side) + " voxels (1 to 256 allowed)";
                }
            }
            sized = true;
        } else if (id == "XYZI") {
            if (!sized) return "voxels (XYZI) come before any model size (SIZE)";
            if (!reader.canRead(4)) return "the file ends inside an XYZI chunk";
            uint32_t const count = reader.u32();
            if (count > MAX_VOX_VOXELS - voxels) return "more than " + std::to_string(MAX_VOX_VOXELS) + " voxels";
            if (!reader.canRead(size_t{count} * 4)) return "the file ends before its " + std::to_string(count) + " voxels";
            for (uint32_t i = 0; i < count; ++i) {
                for (int axis = 0; axis < 3; ++axis) {
                    if (reader.byte(reader.at + axis) >= size[axis]) return "a voxel lies outside its model";
                }
                reader.at += 4;
            }
            voxels += count;
        } else if (id == "RGBA") {
            if (!reader.canRead(PALETTE_BYTES_READ)) return "the file ends inside its palette (RGBA)";
            reader.at += PALETTE_BYTES_READ;
        } else {
            // raylib skips the content and reads the children in line; a
            // size reaching past the end just ends its reading.
            if (contentSize >= data.size() - std::min(data.size(), reader.at)) break;
            reader.at += contentSize;
        }
    }
    return "";
}
