#include "qubicle-file.h"

#include <string>

#include "vox-file.h"

namespace {

// Runs of the packed .qb: a count and a colour follow CODE; NEXT_SLICE ends
// a slice of z.
constexpr uint32_t CODE = 2, NEXT_SLICE = 6;
// The most nodes of a .qbt tree, and how deep it may nest.
constexpr int MAX_NODES = MAX_VOX_MODELS, MAX_DEPTH = 64;
// The most cells a packed matrix may unpack to: 256 a side.
constexpr size_t MAX_MATRIX_CELLS = size_t{1} << 24;

// A Qubicle matrix as a part in MagicaVoxel's axes (z up): Qubicle's y is
// up, and a left-handed file's z, towards the front, is MagicaVoxel's -y.
// A right-handed file's front faces -z: it is turned half a turn about y,
// so that the fronts of both face the front, and neither is mirrored.
class Matrix {
public:
    Matrix(VoxelParts& parts, std::array<int32_t, 3> position, std::array<uint32_t, 3> size, bool rightHanded)
        : size(size), parts(parts), rightHanded(rightHanded) {
        for (uint32_t const side : size) {
            if (side < 1 || side > MAX_COMPOSED_SIDE)
                throw FormatError("a matrix of " + std::to_string(side) + " voxels a side, not 1 to " +
                                  std::to_string(MAX_COMPOSED_SIDE));
        }
        int const x = static_cast<int>(size[0]), y = static_cast<int>(size[1]), z = static_cast<int>(size[2]);
        std::array<int, 3> const origin = rightHanded ? std::array{-(position[0] + x - 1), position[2], position[1]}
                                                      : std::array{position[0], -(position[2] + z - 1), position[1]};
        parts.add(origin, {x, z, y});
    }

    void set(uint32_t x, uint32_t y, uint32_t z, raylib::Color color) {
        int const across = static_cast<int>(rightHanded ? size[0] - 1 - x : x);
        int const depth = static_cast<int>(rightHanded ? z : size[2] - 1 - z);
        parts.addVoxel(across, depth, static_cast<int>(y), color);
    }

    size_t cells() const { return size_t{size[0]} * size[1] * size[2]; }
    std::array<uint32_t, 3> const size;

private:
    VoxelParts& parts;
    bool rightHanded;
};

std::string nameOf(ByteReader& in, size_t length) {
    std::vector<unsigned char> const name = in.take(length);
    return std::string(name.begin(), name.end());
}

std::array<uint32_t, 3> sizeOf(ByteReader& in) {
    uint32_t const x = in.u32(), y = in.u32(), z = in.u32();
    return {x, y, z};
}

std::array<int32_t, 3> positionOf(ByteReader& in) {
    int32_t const x = in.i32(), y = in.i32(), z = in.i32();
    return {x, y, z};
}

// A .qb colour: RGBA or BGRA in the order of its bytes; an alpha of 0 is
// an empty cell, any other (perhaps a mask of the sides that show) a voxel.
std::optional<raylib::Color> qbColor(uint32_t value, bool bgra) {
    auto const byte = [&](int i) { return static_cast<unsigned char>(value >> (8 * i)); };
    if (byte(3) == 0) return std::nullopt;
    return bgra ? raylib::Color{byte(2), byte(1), byte(0), 255} : raylib::Color{byte(0), byte(1), byte(2), 255};
}

void readPackedSlices(ByteReader& in, Matrix& matrix, bool bgra) {
    uint32_t const sizeX = matrix.size[0], slice = matrix.size[0] * matrix.size[1];
    for (uint32_t z = 0; z < matrix.size[2]; ++z) {
        for (uint32_t index = 0;;) {
            uint32_t value = in.u32();
            if (value == NEXT_SLICE) break;
            uint32_t count = 1;
            if (value == CODE) count = in.u32(), value = in.u32();
            if (count > slice - index) in.refuse("a run past the end of its slice");
            std::optional<raylib::Color> const color = qbColor(value, bgra);
            if (!color) {
                index += count;
                continue;
            }
            for (uint32_t end = index + count; index < end; ++index)
                matrix.set(index % sizeX, index / sizeX, z, *color);
        }
    }
}

}  // namespace

VoxelParts readQb(std::vector<unsigned char> const& bytes) {
    ByteReader in(bytes);
    in.u32();  // the version
    uint32_t const colorFormat = in.u32(), zAxis = in.u32(), packed = in.u32();
    in.u32();  // whether alphas are masks of the sides that show
    uint32_t const matrices = in.u32();
    if (colorFormat > 1 || zAxis > 1 || packed > 1) in.refuse("not a Qubicle file: its header is not one");
    if (matrices > MAX_VOX_MODELS) in.refuse("more than " + std::to_string(MAX_VOX_MODELS) + " matrices");
    VoxelParts parts;
    for (uint32_t m = 0; m < matrices; ++m) {
        nameOf(in, in.u8());
        std::array<uint32_t, 3> const size = sizeOf(in);
        Matrix matrix(parts, positionOf(in), size, zAxis == 1);
        if (packed) {
            readPackedSlices(in, matrix, colorFormat == 1);
            continue;
        }
        if (!in.has(4 * matrix.cells())) in.refuse("the file ends within a matrix");
        for (uint32_t z = 0; z < size[2]; ++z)
            for (uint32_t y = 0; y < size[1]; ++y)
                for (uint32_t x = 0; x < size[0]; ++x) {
                    if (auto const color = qbColor(in.u32(), colorFormat == 1)) matrix.set(x, y, z, *color);
                }
    }
    return parts;
}

namespace {

enum QbtNode : uint32_t { MATRIX = 0, MODEL = 1, COMPOUND = 2 };

struct QbtReader {
    explicit QbtReader(std::vector<unsigned char> const& bytes) : in(bytes) {}

    ByteReader in;
    std::vector<raylib::Color> colorMap;
    VoxelParts parts;
    int nodes = 0;

    void node(int depth) {
        if (++nodes > MAX_NODES) in.refuse("more than " + std::to_string(MAX_NODES) + " nodes");
        if (depth > MAX_DEPTH) in.refuse("nodes nested deeper than " + std::to_string(MAX_DEPTH));
        uint32_t const type = in.u32();
        in.u32();  // the node's size in bytes
        if (type == MATRIX || type == COMPOUND) matrix();
        if (type == MODEL || type == COMPOUND) {
            for (uint32_t children = in.u32(), i = 0; i < children; ++i) node(depth + 1);
        } else if (type != MATRIX) {
            in.refuse("a node of an unknown type " + std::to_string(type));
        }
    }

    void matrix() {
        nameOf(in, in.u32());
        std::array<int32_t, 3> const position = positionOf(in);
        in.skip(12 + 12);  // the local scale and the pivot
        Matrix matrix(parts, position, sizeOf(in), false);
        if (matrix.cells() > MAX_MATRIX_CELLS)
            in.refuse("a matrix of more than " + std::to_string(MAX_MATRIX_CELLS) + " cells");
        size_t const packedSize = in.u32();
        size_t const at = in.offset();
        std::vector<unsigned char> const cells = inflated(in.take(packedSize), 4 * matrix.cells());
        if (cells.size() != 4 * matrix.cells()) {
            in.refuseAt(at, "a matrix of " + std::to_string(matrix.cells()) + " cells holds " +
                                std::to_string(cells.size()) + " bytes");
        }
        // x slowest, then z, y fastest; the fourth byte is the mask of the
        // sides that show, 0 for an empty cell.
        size_t i = 0;
        for (uint32_t x = 0; x < matrix.size[0]; ++x)
            for (uint32_t z = 0; z < matrix.size[2]; ++z)
                for (uint32_t y = 0; y < matrix.size[1]; ++y, i += 4) {
                    if (cells[i + 3] == 0) continue;
                    raylib::Color color{cells[i], cells[i + 1], cells[i + 2], 255};
                    if (!colorMap.empty()) {
                        if (cells[i] >= colorMap.size()) in.refuse("a voxel's colour is not in the colour map");
                        color = colorMap[cells[i]];
                    }
                    matrix.set(x, y, z, color);
                }
    }
};

void expect(ByteReader& in, std::string const& word) {
    size_t const at = in.offset();
    if (nameOf(in, word.size()) != word) in.refuseAt(at, word + " is missing");
}

}  // namespace

VoxelParts readQbt(std::vector<unsigned char> const& bytes) {
    QbtReader reader(bytes);
    ByteReader& in = reader.in;
    expect(in, "QB 2");
    in.skip(2 + 12);  // the version and the global scale
    expect(in, "COLORMAP");
    uint32_t const colors = in.u32();
    if (colors > 256) in.refuse("a colour map of more than 256 colours");
    for (uint32_t i = 0; i < colors; ++i) {
        uint8_t const r = in.u8(), g = in.u8(), b = in.u8();
        in.u8();
        reader.colorMap.push_back({r, g, b, 255});
    }
    expect(in, "DATATREE");
    reader.node(0);
    return std::move(reader.parts);
}
