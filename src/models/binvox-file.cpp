#include "binvox-file.h"

#include <sstream>
#include <string>

#include "vox-file.h"

namespace {

// The longest header read before its data.
constexpr size_t MAX_HEADER = 1024;

// The header's lines up to "data", and where the runs begin.
std::vector<std::string> headerLines(std::vector<unsigned char> const& bytes, size_t& end) {
    std::vector<std::string> lines(1);
    for (end = 0; end < bytes.size() && end < MAX_HEADER; ++end) {
        if (bytes[end] != '\n') {
            lines.back() += static_cast<char>(bytes[end]);
            continue;
        }
        if (lines.back() == "data") {
            ++end;
            return lines;
        }
        lines.emplace_back();
    }
    throw FormatError("not a binvox file: its header does not end in a line \"data\"");
}

}  // namespace

VoxelParts readBinvox(std::vector<unsigned char> const& bytes, raylib::Color color) {
    size_t data = 0;
    std::vector<std::string> const lines = headerLines(bytes, data);
    if (lines.front() != "#binvox 1") throw FormatError("not a binvox file: it does not begin with \"#binvox 1\"");
    long long sides[3] = {0, 0, 0};
    for (std::string const& line : lines) {
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word == "dim" && !(words >> sides[0] >> sides[1] >> sides[2]))
            throw FormatError("its dim line \"" + printable(line) + "\" is not three whole numbers");
    }
    for (long long const side : sides) {
        if (side < 1 || side > MAX_COMPOSED_SIDE)
            throw FormatError("its sides are not 1 to " + std::to_string(MAX_COMPOSED_SIDE) + " voxels");
    }
    // x along the first side, z the second, y (up) the third, fastest.
    int const sizeX = static_cast<int>(sides[0]), sizeZ = static_cast<int>(sides[1]),
              sizeY = static_cast<int>(sides[2]);
    VoxelParts parts;
    parts.add({0, 0, 0}, {sizeX, sizeZ, sizeY});
    long long const cells = sides[0] * sides[1] * sides[2];
    ByteReader in(bytes, data);
    for (long long cell = 0; cell < cells;) {
        size_t const run = in.offset();
        uint8_t const value = in.u8(), count = in.u8();
        if (value > 1) in.refuseAt(run, "a run of the value " + std::to_string(value) + ", not 0 or 1");
        if (count > cells - cell) in.refuseAt(run, "a run past the grid's last cell");
        if (value == 0) {
            cell += count;
            continue;
        }
        for (long long end = cell + count; cell < end; ++cell) {
            int const x = static_cast<int>(cell / (sides[1] * sides[2]));
            int const z = static_cast<int>(cell / sides[2] % sides[1]);
            int const y = static_cast<int>(cell % sides[2]);
            // The grid's z, towards the front, is MagicaVoxel's -y.
            parts.addVoxel(x, sizeZ - 1 - z, y, color);
        }
    }
    return parts;
}
