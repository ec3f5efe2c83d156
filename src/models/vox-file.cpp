#include "vox-file.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

// MagicaVoxel's own limit on a model's size along each axis.
constexpr uint32_t MAX_MODEL_SIDE = 256;
constexpr int PALETTE_ENTRIES_READ = 255;
// How far past the end of the data a chunk may be read, as zeros: raylib's
// loader reads the header of a chunk after the palette from the last 4 bytes.
constexpr size_t READ_PAST_END = 16;
// Grid sides are rounded up to this.
constexpr int GRID_STEP = 16;

class Reader {
public:
    explicit Reader(std::vector<unsigned char> const& data) : data(data) {}

    size_t at = 0;
    // Whether n more bytes lie within the data and the few zeros past its end.
    bool canRead(size_t n) const { return at <= data.size() + READ_PAST_END && n <= data.size() + READ_PAST_END - at; }
    bool atEnd() const { return at >= data.size(); }
    uint32_t u32() {
        uint32_t value = 0;
        for (size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(byte(at + i)) << (8 * i);
        at += 4;
        return value;
    }
    unsigned char byte(size_t i) const { return i < data.size() ? data[i] : 0; }
    std::string id() const {
        std::string id;
        for (size_t i = 0; i < 4; ++i) id += static_cast<char>(byte(at + i));
        return id;
    }

private:
    std::vector<unsigned char> const& data;
};

int roundedUp(uint32_t side) {
    return static_cast<int>((side + GRID_STEP - 1) / GRID_STEP * GRID_STEP);
}

// A fresh, empty grid for a model of the file's sides (x, y, z with z up).
void startModel(VoxelGrid& grid, std::array<uint32_t, 3> const& size) {
    grid.sizeX = roundedUp(size[0]);
    grid.sizeY = roundedUp(size[2]);
    grid.sizeZ = roundedUp(size[1]);
    grid.cells.assign(static_cast<size_t>(grid.sizeX) * grid.sizeY * grid.sizeZ, 0);
}

// The file's voxel (x, y, z) with z up, in the grid with y up; the file's y
// runs along -z.
void putVoxel(VoxelGrid& grid, int x, int y, int z, uint8_t colorIndex) {
    int const gridZ = grid.sizeZ - y - 1;
    grid.cells[(static_cast<size_t>(x) * grid.sizeY + z) * grid.sizeZ + gridZ] = colorIndex;
}

}  // namespace

std::string voxFileSizeProblem(unsigned long long bytes) {
    if (bytes > MAX_VOX_FILE_BYTES) return "the file is larger than 16 MiB";
    return "";
}

std::string readVoxFile(std::vector<unsigned char> const& data, VoxelGrid* grid) {
    if (std::string sizeProblem = voxFileSizeProblem(data.size()); !sizeProblem.empty()) return sizeProblem;
    if (data.size() < 8) return "the file is too short for a .vox header";
    if (std::memcmp(data.data(), "VOX ", 4) != 0) return "the file does not start with \"VOX \"";
    Reader reader(data);
    reader.at = 4;
    uint32_t const version = reader.u32();
    if (version != 150 && version != 200) return "unsupported .vox version " + std::to_string(version);

    // The sides of the model being read, once a SIZE chunk has given them.
    std::optional<std::array<uint32_t, 3>> size;
    int models = 0;
    size_t voxels = 0;
    // Inside the loop a whole chunk header can always be read: at most 15
    // bytes of it lie past the end.
    while (!reader.atEnd()) {
        std::string const id = reader.id();
        reader.at += 4;
        uint32_t const contentSize = reader.u32();
        reader.u32();  // size of the children, which are read in line

        if (id == "SIZE") {
            if (!reader.canRead(12)) return "the file ends inside a SIZE chunk";
            if (++models > MAX_VOX_MODELS) return "more than " + std::to_string(MAX_VOX_MODELS) + " models";
            size.emplace();
            for (uint32_t& side : *size) side = reader.u32();
            for (uint32_t const side : *size) {
                if (side < 1 || side > MAX_MODEL_SIDE) {
                    return "a model size of " + std::to_string(side) + " voxels (1 to 256 allowed)";
                }
            }
            if (grid) startModel(*grid, *size);
        } else if (id == "XYZI") {
            if (!size) return "voxels (XYZI) come before any model size (SIZE)";
            if (!reader.canRead(4)) return "the file ends inside an XYZI chunk";
            uint32_t const count = reader.u32();
            if (count > MAX_VOX_VOXELS - voxels) return "more than " + std::to_string(MAX_VOX_VOXELS) + " voxels";
            if (!reader.canRead(size_t{count} * 4))
                return "the file ends before its " + std::to_string(count) + " voxels";
            for (uint32_t i = 0; i < count; ++i, reader.at += 4) {
                unsigned char const x = reader.byte(reader.at), y = reader.byte(reader.at + 1),
                                    z = reader.byte(reader.at + 2);
                if (x >= (*size)[0] || y >= (*size)[1] || z >= (*size)[2]) return "a voxel lies outside its model";
                if (grid) putVoxel(*grid, x, y, z, reader.byte(reader.at + 3));
            }
            voxels += count;
        } else if (id == "RGBA") {
            if (!reader.canRead(PALETTE_ENTRIES_READ * 4)) return "the file ends inside its palette (RGBA)";
            for (int i = 0; grid && i < PALETTE_ENTRIES_READ; ++i) {
                size_t const at = reader.at + 4 * i;
                grid->palette[i + 1] = {reader.byte(at), reader.byte(at + 1), reader.byte(at + 2), reader.byte(at + 3)};
            }
            reader.at += PALETTE_ENTRIES_READ * 4;
        } else {
            // Other chunks are skipped, their children read in line; a size
            // reaching past the end ends the reading.
            if (contentSize >= data.size() - std::min(data.size(), reader.at)) break;
            reader.at += contentSize;
        }
    }
    return "";
}
