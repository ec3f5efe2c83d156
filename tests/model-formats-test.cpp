// The readers of other editors' formats: real files saved by those editors,
// and one shape written in every format, read as its .vox is.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <tuple>

#include "binvox-file.h"
#include "goxel-file.h"
#include "minecraft-file.h"
#include "model-formats.h"
#include "model-writers.h"
#include "qubicle-file.h"
#include "vox-file.h"
#include "voxlap-file.h"
#include "westwood-file.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Cell = std::array<int, 3>;

std::optional<Bytes> sample(std::string const& name) {
    std::ifstream in(std::string(TESSARINE_OTHER_SAMPLES_DIR) + "/" + name, std::ios::binary);
    if (!in) return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string messageOf(std::optional<Problem> const& problem) {
    return problem ? problem->message : "";
}

size_t cellsOf(VoxelGrid const& grid) {
    size_t cells = 0;
    for (int x = 0; x < grid.sizeX; ++x)
        for (int y = 0; y < grid.sizeY; ++y)
            for (int z = 0; z < grid.sizeZ; ++z) cells += grid.at(x, y, z) != 0;
    return cells;
}

raylib::Color colorAt(VoxelGrid const& grid, Cell c) {
    return grid.palette[grid.at(c[0], c[1], c[2])];
}

bool same(raylib::Color a, raylib::Color b) {
    return std::tie(a.r, a.g, a.b, a.a) == std::tie(b.r, b.g, b.b, b.a);
}

// What a second reading of each file (a script of our own that follows
// the format's description) found: the voxels the file holds, the cells
// they fill once composed, the grid's sides, and a few cells' colours.
struct Sample {
    char const* file;
    std::function<VoxelParts(Bytes const&)> read;
    size_t voxels, cells;
    Cell sides;
    std::vector<std::pair<Cell, raylib::Color>> colors;
};

TEST(OtherFormats, RealFilesHoldWhatASecondReadingFinds) {
    std::vector<Sample> const samples = {
        {"chr_knight.qb",
         readQb,
         2721,
         2612,
         {39, 43, 13},
         {{{0, 25, 6}, {222, 178, 129, 255}},
          {{19, 31, 4}, {170, 170, 170, 255}},
          {{38, 26, 8}, {238, 201, 159, 255}}}},
        {"qubicle.qb",
         readQb,
         771,
         708,
         {40, 38, 7},
         {{{0, 22, 4}, {119, 119, 119, 255}}, {{39, 21, 5}, {153, 153, 153, 255}}}},
        {"robo.qb",
         readQb,
         1291,
         1291,
         {22, 30, 21},
         {{{0, 12, 2}, {165, 222, 228, 255}}, {{11, 7, 13}, {86, 108, 115, 255}}}},
        {"qubicle.qbt", readQbt, 2721, 2612, {39, 43, 13}, {{{19, 31, 4}, {170, 170, 170, 255}}}},
        // Three voxels whose colours are indices into the colour map.
        {"rgb_small.qbt",
         readQbt,
         3,
         3,
         {3, 1, 1},
         {{{0, 0, 0}, {0, 0, 255, 255}}, {{1, 0, 0}, {0, 255, 0, 255}}, {{2, 0, 0}, {255, 0, 0, 255}}}},
    };
    for (Sample const& s : samples) {
        std::optional<Bytes> const bytes = sample(s.file);
        if (!bytes) GTEST_SKIP() << "No sample files: " << TESSARINE_OTHER_SAMPLES_DIR << "/" << s.file << " is absent";
        EXPECT_EQ(s.read(*bytes).voxels, s.voxels) << s.file;
        VoxelGrid grid;
        ASSERT_EQ(messageOf(readModelFile(s.file, *bytes, &grid)), "") << s.file;
        EXPECT_EQ(cellsOf(grid), s.cells) << s.file;
        EXPECT_EQ((Cell{grid.sizeX, grid.sizeY, grid.sizeZ}), s.sides) << s.file;
        for (auto const& [cell, color] : s.colors) EXPECT_TRUE(same(colorAt(grid, cell), color)) << s.file;
    }
    // The knight saved by Qubicle in its two formats is one model.
    VoxelGrid binary, exchange;
    readModelFile("chr_knight.qb", *sample("chr_knight.qb"), &binary);
    readModelFile("qubicle.qbt", *sample("qubicle.qbt"), &exchange);
    for (int x = 0; x < binary.sizeX; ++x)
        for (int y = 0; y < binary.sizeY; ++y)
            for (int z = 0; z < binary.sizeZ; ++z)
                ASSERT_TRUE(same(colorAt(binary, {x, y, z}), colorAt(exchange, {x, y, z})))
                    << x << " " << y << " " << z;
}

// The blocks a schematic gives the shape's three colours.
std::vector<std::string> const BLOCKS = {"minecraft:red_wool", "minecraft:oak_planks", "minecraft:blue_concrete"};

// A shape of three colours (those of the blocks), higher at the back than
// at the front and not the same from left to right, so that a turned or
// mirrored reading shows.
VoxModel shape() {
    VoxModel model = voxModelOf(5, 4, 3, [](int x, int y, int z) -> uint8_t {
        if (z > y || (x == 4 && z > 0)) return 0;
        return static_cast<uint8_t>(1 + (x + y + z) % 3);
    });
    for (size_t i = 0; i < BLOCKS.size(); ++i) {
        raylib::Color const c = *blockColor(BLOCKS[i]);
        model.palette[i] = {c.r, c.g, c.b, c.a};
    }
    return model;
}

TEST(OtherFormats, AShapeWrittenInEachFormatReadsAsItsVox) {
    VoxModel const model = shape();
    VoxelGrid vox;
    ASSERT_EQ(messageOf(readModelFile("shape.vox", encodeVox(placedAlone(model)), &vox)), "");
    for (auto const& [file, bytes] : std::vector<std::pair<std::string, Bytes>>{
             {"shape.qb", encodeQb(model, false)},
             {"packed.qb", encodeQb(model, true)},
             {"shape.qbt", encodeQbt(model)},
             {"shape.binvox", encodeBinvox(model)},
             {"shape.kv6", encodeKv6(model)},
             {"shape.vxl", encodeVxl(model)},
             {"shape.gox", encodeGox(model)},
             {"shape.litematic", encodeLitematic(model, BLOCKS)},
             {"shape.schem", encodeSchem(model, BLOCKS)},
         }) {
        // A format without colours shows the cells filled, grey.
        bool const coloured = !file.ends_with(".binvox");
        VoxelGrid grid;
        ASSERT_EQ(messageOf(readModelFile(file, bytes, &grid)), "") << file;
        ASSERT_EQ(std::tie(grid.sizeX, grid.sizeY, grid.sizeZ), std::tie(vox.sizeX, vox.sizeY, vox.sizeZ)) << file;
        for (int x = 0; x < vox.sizeX; ++x)
            for (int y = 0; y < vox.sizeY; ++y)
                for (int z = 0; z < vox.sizeZ; ++z)
                    EXPECT_TRUE(coloured ? same(colorAt(grid, {x, y, z}), colorAt(vox, {x, y, z}))
                                         : (grid.at(x, y, z) != 0) == (vox.at(x, y, z) != 0))
                        << file << x << y << z;
    }
}

}  // namespace
