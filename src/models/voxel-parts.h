#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "problem.h"
#include "raylib-api.h"
#include "voxel-grid.h"

// What the readers of other editors' formats share: the voxels they find,
// in MagicaVoxel's axes (z up), composed into a grid as a .vox scene of the
// same models would be, and a bounds-checked reading of their bytes.

// A voxel of a colour, in the axes of MagicaVoxel: z points up.
struct ColoredVoxel {
    int x, y, z;
    raylib::Color color;
};

// A part of a model (a matrix, a layer, a region): the box it spans, from
// origin along size, and its voxels, placed in the model's axes.
struct VoxelPart {
    std::array<int, 3> origin{}, size{};
    std::vector<ColoredVoxel> voxels;
};

// A file the reader cannot follow: the place (a byte offset, a block, a
// region) and what is wrong there.
struct FormatError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The voxels a file is found to hold, refused past the limits a .vox has.
class VoxelParts {
public:
    // A new part of the given box; refused when a side is not 1 to the
    // widest a scene may span.
    VoxelPart& add(std::array<int, 3> origin, std::array<int, 3> size);
    // A voxel of the last part, which must lie inside its box.
    void addVoxel(int x, int y, int z, raylib::Color color);

    std::vector<VoxelPart> parts;
    size_t voxels = 0;
    // What the file holds that shows otherwise than its editor shows it.
    std::vector<std::string> warnings;
};

// The parts composed into the grid, as MagicaVoxel's scene of the same
// models shows them: the grid spans every part's box, its y up, and the
// colours become a palette (the 255 commonest when there are more, the
// rest each shown as the nearest of those). Refused when the parts span
// wider than a .vox scene may.
std::optional<Problem> composeParts(VoxelParts const& parts, VoxelGrid* grid);

// Little-endian reading of a file's bytes, refusing to read past their end.
class ByteReader {
public:
    explicit ByteReader(std::vector<unsigned char> const& bytes, size_t from = 0) : bytes(bytes), at(from) {}

    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    int32_t i32() { return static_cast<int32_t>(u32()); }
    float f32();
    // The next n bytes, as they are.
    std::vector<unsigned char> take(size_t n);
    void skip(size_t n);
    // Whether n more bytes are there.
    bool has(size_t n) const { return at <= bytes.size() && n <= bytes.size() - at; }
    size_t offset() const { return at; }
    // Refused at the current offset, or at the one given.
    [[noreturn]] void refuse(std::string const& what) const;
    [[noreturn]] void refuseAt(size_t offset, std::string const& what) const;

private:
    void need(size_t n) const;
    std::vector<unsigned char> const& bytes;
    size_t at;
};

// The bytes of zlib (or, with gzip, gzip) data inflated, refused when they
// are damaged or would pass limit bytes.
std::vector<unsigned char> inflated(std::vector<unsigned char> const& packed, size_t limit, bool gzip = false);
