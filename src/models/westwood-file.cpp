#include "westwood-file.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "vox-file.h"

namespace {

constexpr char MAGIC[] = "Voxel Animation";
constexpr size_t HEADER = 34, PALETTE = 768, SECTION_HEADER = 28, SECTION_TAILER = 92;

struct Section {
    uint32_t spanStarts, spanEnds, spanData;
    std::array<float, 3> low, high;
    std::array<uint8_t, 3> size;
};

Section sectionAt(std::vector<unsigned char> const& bytes, size_t at) {
    ByteReader in(bytes, at);
    Section section{};
    section.spanStarts = in.u32(), section.spanEnds = in.u32(), section.spanData = in.u32();
    in.skip(4 + 48);  // the scale and the transform
    for (float& bound : section.low) bound = in.f32();
    for (float& bound : section.high) bound = in.f32();
    for (uint8_t& side : section.size) side = in.u8();
    return section;
}

// Where a section's voxels begin, in voxels: its low bound at the scale of
// its voxels.
std::array<int, 3> originOf(Section const& section) {
    std::array<int, 3> origin{};
    for (int axis = 0; axis < 3; ++axis) {
        float const extent = section.high[axis] - section.low[axis];
        float const voxels = extent > 0 ? section.low[axis] * section.size[axis] / extent : 0;
        origin[axis] = std::isfinite(voxels) ? static_cast<int>(std::lround(std::clamp(voxels, -1e6f, 1e6f))) : 0;
    }
    return origin;
}

void readSection(std::vector<unsigned char> const& body, Section const& section,
                 std::array<raylib::Color, 256> const& palette, VoxelParts& parts) {
    auto const [sizeX, sizeY, sizeZ] = section.size;
    parts.add(originOf(section), {sizeX, sizeY, sizeZ});
    ByteReader starts(body, section.spanStarts);
    for (int column = 0; column < sizeX * sizeY; ++column) {
        int32_t const start = starts.i32();
        if (start < 0) continue;
        if (size_t{section.spanData} + static_cast<uint32_t>(start) > body.size())
            starts.refuse("a column's span starts past the section's data");
        ByteReader span(body, size_t{section.spanData} + static_cast<uint32_t>(start));
        for (int z = 0; z < sizeZ;) {
            uint8_t const skip = span.u8(), count = span.u8();
            if (skip == 0 && count == 0) span.refuse("a span that holds nothing");
            z += skip;
            for (int i = 0; i < count; ++i, ++z) {
                uint8_t const color = span.u8();
                span.u8();  // the normal
                parts.addVoxel(column % sizeX, column / sizeX, z, palette[color]);
            }
            span.u8();  // the count again
        }
    }
}

}  // namespace

VoxelParts readVxl(std::vector<unsigned char> const& bytes) {
    if (bytes.size() < sizeof MAGIC || !std::equal(MAGIC, MAGIC + sizeof MAGIC, bytes.begin()))
        throw FormatError("not a .vxl file: it does not begin with \"Voxel Animation\"");
    ByteReader in(bytes, sizeof MAGIC);
    in.u32();  // palettes
    uint32_t const sections = in.u32();
    in.u32();  // tailers, one a section
    uint32_t const bodySize = in.u32();
    in.skip(2);  // the colours a player's side remaps
    if (sections > MAX_VOX_MODELS) in.refuse("more than " + std::to_string(MAX_VOX_MODELS) + " sections");
    std::array<raylib::Color, 256> palette{};
    bool empty = true;
    for (raylib::Color& color : palette) {
        color = {in.u8(), in.u8(), in.u8(), 255};
        empty = empty && color.r == 0 && color.g == 0 && color.b == 0;
    }
    if (empty) palette = defaultVoxPalette();
    size_t const bodyAt = HEADER + PALETTE + SECTION_HEADER * size_t{sections};
    ByteReader whole(bytes, bodyAt);
    std::vector<unsigned char> const body = whole.take(bodySize);
    whole.skip(SECTION_TAILER * size_t{sections});
    VoxelParts parts;
    for (uint32_t i = 0; i < sections; ++i) {
        Section const section = sectionAt(bytes, bodyAt + bodySize + SECTION_TAILER * i);
        try {
            readSection(body, section, palette, parts);
        } catch (FormatError const& refused) {
            throw FormatError("in section " + std::to_string(i + 1) + "'s data " + refused.what());
        }
    }
    return parts;
}
