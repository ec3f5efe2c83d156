#include "voxel-parts.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>

#include "packed-color.h"
#include "vox-file.h"

#include <zlib.h>

VoxelPart& VoxelParts::add(std::array<int, 3> origin, std::array<int, 3> size) {
    for (int axis = 0; axis < 3; ++axis) {
        if (size[axis] < 1 || size[axis] > MAX_COMPOSED_SIDE)
            throw FormatError("a part of " + std::to_string(size[axis]) + " voxels along " + "xyz"[axis] +
                              ", not 1 to " + std::to_string(MAX_COMPOSED_SIDE));
        if (origin[axis] < -(1 << 24) || origin[axis] > (1 << 24))
            throw FormatError("a part placed " + std::to_string(origin[axis]) + " voxels along " + "xyz"[axis]);
    }
    parts.push_back({origin, size, {}});
    return parts.back();
}

void VoxelParts::addVoxel(int x, int y, int z, raylib::Color color) {
    VoxelPart& part = parts.back();
    if (x < 0 || y < 0 || z < 0 || x >= part.size[0] || y >= part.size[1] || z >= part.size[2])
        throw FormatError("a voxel at (" + std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(z) +
                          ") outside its part");
    if (++voxels > MAX_COMPOSED_VOXELS)
        throw FormatError("more than " + std::to_string(MAX_COMPOSED_VOXELS) + " voxels");
    part.voxels.push_back({part.origin[0] + x, part.origin[1] + y, part.origin[2] + z, color});
}

namespace {

// A colour's bin when there are too many to keep: five bits a channel.
uint32_t binOf(raylib::Color c) {
    return uint32_t{c.r} >> 3 << 10 | uint32_t{c.g} >> 3 << 5 | uint32_t{c.b} >> 3;
}

int distance(raylib::Color a, raylib::Color b) {
    int const r = a.r - b.r, g = a.g - b.g, bl = a.b - b.b;
    return r * r + g * g + bl * bl;
}

// The palette of the voxels' colours, and each colour's index into it.
class PaletteBuilder {
public:
    explicit PaletteBuilder(VoxelParts const& parts) {
        for (VoxelPart const& part : parts.parts)
            for (ColoredVoxel const& voxel : part.voxels) ++counts[packedColor(voxel.color)];
        exact = counts.size() <= 255;
        if (exact) {
            for (auto const& [colour, count] : counts) add(colour, unpackedColor(colour));
            return;
        }
        // Too many: the colours binned, each bin shown as its average, the
        // commonest bins kept and the rest shown as the nearest of those.
        std::map<uint32_t, std::array<unsigned long long, 4>> bins;
        for (auto const& [colour, count] : counts) {
            raylib::Color const c = unpackedColor(colour);
            auto& sum = bins[binOf(c)];
            sum[0] += c.r * count, sum[1] += c.g * count, sum[2] += c.b * count, sum[3] += count;
        }
        std::vector<std::pair<unsigned long long, uint32_t>> byCount;
        for (auto const& [bin, sum] : bins) byCount.emplace_back(sum[3], bin);
        std::sort(byCount.begin(), byCount.end(), [](auto const& a, auto const& b) { return a.first > b.first; });
        auto const average = [&](uint32_t bin) {
            auto const& sum = bins[bin];
            auto const mean = [&](int i) { return static_cast<unsigned char>(sum[i] / sum[3]); };
            return raylib::Color{mean(0), mean(1), mean(2), 255};
        };
        for (size_t i = 0; i < byCount.size() && i < 255; ++i) add(byCount[i].second, average(byCount[i].second));
        for (size_t i = 255; i < byCount.size(); ++i) {
            raylib::Color const c = average(byCount[i].second);
            int best = 1;
            for (int k = 2; k < static_cast<int>(palette.size()); ++k)
                if (distance(palette[k], c) < distance(palette[best], c)) best = k;
            index[byCount[i].second] = static_cast<uint8_t>(best);
        }
    }

    uint8_t indexOf(raylib::Color c) const { return index.at(exact ? packedColor(c) : binOf(c)); }

    std::vector<raylib::Color> palette{raylib::Color{}};

private:
    void add(uint32_t key, raylib::Color c) {
        index[key] = static_cast<uint8_t>(palette.size());
        palette.push_back(c);
    }

    std::map<uint32_t, size_t> counts;
    std::map<uint32_t, uint8_t> index;
    bool exact = true;
};

}  // namespace

std::optional<Problem> composeParts(VoxelParts const& parts, VoxelGrid* grid) {
    std::array<long long, 3> low{LLONG_MAX, LLONG_MAX, LLONG_MAX}, high{LLONG_MIN, LLONG_MIN, LLONG_MIN};
    for (VoxelPart const& part : parts.parts) {
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min<long long>(low[axis], part.origin[axis]);
            high[axis] = std::max<long long>(high[axis], part.origin[axis] + part.size[axis] - 1);
        }
    }
    if (parts.parts.empty()) {
        if (grid) *grid = VoxelGrid(0, 0, 0);
        return std::nullopt;
    }
    for (int axis = 0; axis < 3; ++axis) {
        if (high[axis] - low[axis] >= MAX_COMPOSED_SIDE) {
            return Problem{.message = "its parts span " + std::to_string(high[axis] - low[axis] + 1) +
                                      " voxels along " + "xyz"[axis] + ", more than " +
                                      std::to_string(MAX_COMPOSED_SIDE)};
        }
    }
    if (!grid) return std::nullopt;
    PaletteBuilder const colours(parts);
    // MagicaVoxel's z is the grid's y, and its y the grid's -z.
    *grid = VoxelGrid(static_cast<int>(high[0] - low[0] + 1), static_cast<int>(high[2] - low[2] + 1),
                      static_cast<int>(high[1] - low[1] + 1));
    std::copy(colours.palette.begin(), colours.palette.end(), grid->palette.begin());
    for (VoxelPart const& part : parts.parts) {
        for (ColoredVoxel const& v : part.voxels) {
            grid->set(static_cast<int>(v.x - low[0]), static_cast<int>(v.z - low[2]), static_cast<int>(high[1] - v.y),
                      colours.indexOf(v.color));
        }
    }
    return std::nullopt;
}

void ByteReader::need(size_t n) const {
    if (at > bytes.size()) refuse("a place past the file's end, at byte " + std::to_string(bytes.size()));
    if (!has(n)) refuse("the file ends " + std::to_string(n - (bytes.size() - at)) + " bytes early");
}

void ByteReader::refuse(std::string const& what) const {
    refuseAt(at, what);
}

void ByteReader::refuseAt(size_t offset, std::string const& what) const {
    throw FormatError("at byte " + std::to_string(offset) + ": " + what);
}

uint8_t ByteReader::u8() {
    need(1);
    return bytes[at++];
}

uint16_t ByteReader::u16() {
    need(2);
    uint16_t const value = static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
    at += 2;
    return value;
}

uint32_t ByteReader::u32() {
    need(4);
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | bytes[at + i];
    at += 4;
    return value;
}

float ByteReader::f32() {
    uint32_t const bits = u32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::vector<unsigned char> ByteReader::take(size_t n) {
    need(n);
    std::vector<unsigned char> part(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                    bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
    return part;
}

void ByteReader::skip(size_t n) {
    need(n);
    at += n;
}

std::vector<unsigned char> inflated(std::vector<unsigned char> const& packed, size_t limit, bool gzip) {
    z_stream stream{};
    // 15 bits of window; 16 more for gzip's header.
    if (inflateInit2(&stream, gzip ? 15 + 16 : 15) != Z_OK) throw FormatError("its compressed data cannot be read");
    std::vector<unsigned char> out;
    std::vector<unsigned char> chunk(1 << 16);
    stream.next_in = const_cast<unsigned char*>(packed.data());
    stream.avail_in = static_cast<uInt>(packed.size());
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = chunk.data();
        stream.avail_out = static_cast<uInt>(chunk.size());
        status = inflate(&stream, Z_NO_FLUSH);
        out.insert(out.end(), chunk.data(), chunk.data() + (chunk.size() - stream.avail_out));
        if (out.size() > limit) status = Z_MEM_ERROR;
    }
    inflateEnd(&stream);
    if (out.size() > limit)
        throw FormatError("its compressed data holds more than " + std::to_string(limit) + " bytes");
    if (status != Z_STREAM_END) throw FormatError("its compressed data is damaged or cut short");
    return out;
}
