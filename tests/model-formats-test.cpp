// The readers of other editors' formats: real files saved by those editors,
// and one shape written in every format, read as its .vox is.
#include <gtest/gtest.h>

#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <tuple>

#include "binvox-file.h"
#include "goxel-file.h"
#include "minecraft-file.h"
#include "model-formats.h"
#include "model-writers.h"
#include "nbt.h"
#include "qubicle-file.h"
#include "vox-file.h"
#include "voxlap-file.h"
#include "westwood-file.h"

namespace {

using namespace std::string_literals;
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
        // The knight again, its surface alone, its colours a little darker.
        {"slab6_vox_test.kv6",
         readKv6,
         1531,
         1531,
         {39, 43, 13},
         {{{0, 26, 6}, {196, 144, 88, 255}}, {{38, 25, 8}, {216, 172, 124, 255}}}},
        {"test.kv6", readKv6, 5, 5, {3, 3, 1}, {{{0, 2, 0}, {199, 89, 68, 255}}}},
        // A wall of three colours whose palette is empty.
        {"simple.vxl",
         readVxl,
         9,
         9,
         {3, 3, 3},
         {{{1, 0, 2}, defaultVoxPalette()[52]},
          {{1, 1, 1}, defaultVoxPalette()[110]},
          {{1, 2, 0}, defaultVoxPalette()[16]}}},
        // Goxel's knight: its 19 layers all at the origin, as the file
        // places them, piled up.
        {"chr_knight.gox",
         readGox,
         2721,
         1316,
         {15, 14, 13},
         {{{0, 0, 1}, {238, 201, 159, 255}}, {{14, 6, 11}, {170, 170, 170, 255}}}},
        // A voxel at each corner of a cube of 32.
        {"test.gox",
         readGox,
         98,
         98,
         {32, 32, 32},
         {{{0, 0, 0}, {255, 255, 255, 255}}, {{31, 0, 0}, {255, 255, 255, 255}}, {{16, 16, 16}, {}}}},
        // A cube, a sphere and a cylinder, each 8 across, filled as the
        // blocks the file also holds: 512 + 280 + 416 voxels.
        {"gox-shape-3-layers.gox",
         readGox,
         1208,
         1208,
         {19, 8, 19},
         {{{4, 4, 3}, {255, 255, 255, 255}}, {{0, 0, 0}, {}}}},
        // A house of Litematica: as many blocks as its own count says.
        {"test.litematic",
         readLitematic,
         11722,
         11722,
         {79, 29, 70},
         {{{0, 7, 24}, *blockColor("minecraft:grass_block")},
          {{39, 8, 45}, *blockColor("minecraft:barrel")},
          {{40, 0, 35}, {}}}},
        // No colours: its filled cells are of the plain colour, the others empty.
        {"test.binvox",
         [](Bytes const& b) { return readBinvox(b, PLAIN_MODEL_GREY); },
         78075,
         78075,
         {128, 128, 128},
         {{{39, 60, 72}, PLAIN_MODEL_GREY},
          {{88, 51, 125}, PLAIN_MODEL_GREY},
          {{60, 50, 60}, PLAIN_MODEL_GREY},
          {{0, 0, 0}, {}}}},
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
    // The knight saved by Qubicle in its two formats is one model, and
    // SLAB6's knight its surface, turned alike.
    VoxelGrid binary, exchange, surface;
    readModelFile("chr_knight.qb", *sample("chr_knight.qb"), &binary);
    readModelFile("qubicle.qbt", *sample("qubicle.qbt"), &exchange);
    readModelFile("slab6_vox_test.kv6", *sample("slab6_vox_test.kv6"), &surface);
    for (int x = 0; x < binary.sizeX; ++x)
        for (int y = 0; y < binary.sizeY; ++y)
            for (int z = 0; z < binary.sizeZ; ++z) {
                ASSERT_TRUE(same(colorAt(binary, {x, y, z}), colorAt(exchange, {x, y, z}))) << x << y << z;
                if (surface.at(x, y, z)) {
                    ASSERT_NE(binary.at(x, y, z), 0) << x << y << z;
                }
            }
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
             {"right-handed.qb", encodeQb(model, false, true)},
             {"shape.qbt", encodeQbt(model)},
             {"shape.binvox", encodeBinvox(model)},
             {"shape.kv6", encodeKv6(model)},
             {"shape.vxl", encodeVxl(model)},
             {"shape.gox", encodeGox(model)},
             {"shape.litematic", encodeLitematic(model, BLOCKS)},
             {"shape.schem", encodeSchem(model, BLOCKS)},
             {"third.schem", encodeSchem(model, BLOCKS, 3)},
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

// Every cut of a file is refused, and so is a file whose bytes were
// damaged or that asks for more than a model may hold, each with what is
// wrong and where; none crashes or runs away.
TEST(OtherFormats, DamagedFilesAreRefusedWithWhatIsWrong) {
    VoxModel const model = shape();
    for (auto const& [file, bytes] : std::vector<std::pair<std::string, Bytes>>{
             {"s.qb", encodeQb(model, false)},
             {"s.qb", encodeQb(model, true)},
             {"s.qbt", encodeQbt(model)},
             {"s.binvox", encodeBinvox(model)},
             {"s.kv6", encodeKv6(model)},
             {"s.vxl", encodeVxl(model)},
             {"s.gox", encodeGox(model)},
             {"s.litematic", encodeLitematic(model, BLOCKS)},
             {"s.schem", encodeSchem(model, BLOCKS)},
         }) {
        VoxelGrid whole;
        ASSERT_EQ(messageOf(readModelFile(file, bytes, &whole)), "") << file;
        // Refused, or without some of its voxels where a format may end
        // between its parts.
        for (size_t cut = 0; cut < bytes.size(); ++cut) {
            VoxelGrid grid;
            std::string const problem =
                messageOf(readModelFile(file, Bytes(bytes.begin(), bytes.begin() + cut), &grid));
            EXPECT_TRUE(!problem.empty() || cellsOf(grid) < cellsOf(whole)) << file << " cut at " << cut;
        }
        for (size_t at = 0; at < bytes.size(); ++at) {
            Bytes damaged = bytes;
            damaged[at] ^= 0xff;
            VoxelGrid grid;
            readModelFile(file, damaged, &grid);
        }
    }
    auto const edited = [](Bytes bytes, size_t at, std::initializer_list<uint8_t> with) {
        std::copy(with.begin(), with.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
        return bytes;
    };
    auto const text = [](std::string const& s) { return Bytes(s.begin(), s.end()); };
    // A Goxel file of one shape layer, without blocks.
    auto const shapeLayer = [&](std::string const& shape) {
        Bytes layer(4, 0);
        auto const put = [&](std::string const& key, Bytes const& value) {
            for (Bytes const& part : {Bytes{static_cast<unsigned char>(key.size()), 0, 0, 0}, text(key),
                                      Bytes{static_cast<unsigned char>(value.size()), 0, 0, 0}, value})
                layer.insert(layer.end(), part.begin(), part.end());
        };
        Bytes identity(64, 0);
        for (int i : {3, 23, 43, 63}) identity[size_t(i)] = 0x3f, identity[size_t(i) - 1] = 0x80;  // 1.0f
        put("shape", text(shape));
        put("mat", identity);
        put("color", {255, 255, 255, 255});
        Bytes file = text("GOX \2\0\0\0LAYR"s);
        file.insert(file.end(), {static_cast<unsigned char>(layer.size()), 0, 0, 0});
        file.insert(file.end(), layer.begin(), layer.end());
        file.insert(file.end(), 4, 0);
        return file;
    };
    ASSERT_EQ(messageOf(readModelFile("s.gox", shapeLayer("cube"))), "");
    // Qubicle's exchange format with a matrix of one cell whose packed data
    // unpacks to 64 MiB.
    Bytes qbt = encodeQbt(voxModelOf(1, 1, 1, [](int, int, int) -> uint8_t { return 1; }));
    std::vector<unsigned char> zeros(64u << 20), bomb(compressBound(zeros.size()));
    uLongf bombSize = bomb.size();
    compress(bomb.data(), &bombSize, zeros.data(), zeros.size());
    qbt.resize(qbt.size() - 12 - 4);  // the packed cell and its size
    for (int i = 0; i < 4; ++i) qbt.push_back(static_cast<unsigned char>(bombSize >> (8 * i)));
    qbt.insert(qbt.end(), bomb.begin(), bomb.begin() + static_cast<std::ptrdiff_t>(bombSize));
    Bytes const qb = encodeQb(model, false);
    Bytes const vxl = encodeVxl(model);
    for (auto const& [file, bytes, expected] : std::vector<std::tuple<std::string, Bytes, std::string>>{
             // A matrix of 2048 a side whose cells are not there.
             {"s.qb", edited(qb, 30, {0, 8, 0, 0, 0, 8, 0, 0, 0, 8}), "at byte 54: the file ends within a matrix"},
             {"s.qb", edited(qb, 30, {0, 9}), "a matrix of 2304 voxels a side, not 1 to 2048"},
             {"s.qb", edited(qb, 8, {2}), "not a Qubicle file"},
             {"s.qbt", qbt, "its compressed data holds more than 4 bytes"},
             {"s.binvox", text("#binvox 1\ndim 0 1 1\ndata\n"), "its sides are not 1 to 2048 voxels"},
             {"s.binvox", text("#binvox 1\ndim 2 1 1\ndata\n\x01\x03"), "at byte 25: a run past the grid's last cell"},
             {"s.binvox", text("#binvox 2\ndata\n"), "not a binvox file"},
             {"s.kv6", edited(encodeKv6(model), 28, {1, 0, 0, 0}), "its columns hold more voxels than it has"},
             // The first column's span, its voxel taken away: the header,
             // palette and section header, then 20 columns' starts and ends.
             {"s.vxl", edited(vxl, 34 + 768 + 28 + 2 * 4 * 20 + 1, {0}), "a span that holds nothing"},
             {"s.gox", edited(encodeGox(model), 16, {'X'}), "a block that is not a 64 x 64 PNG picture"},
             // A layer of a block its chunk ends before.
             {"s.gox", text("GOX \2\0\0\0LAYR\x18\0\0\0\1\0\0\0\0\0\0\0"s), "the file ends"},
             {"s.gox", shapeLayer("pyramid"), "a shape layer of the unknown shape \"pyramid\""},
         }) {
        std::string const message = messageOf(readModelFile(file, bytes));
        EXPECT_NE(message.find(expected), std::string::npos) << file << ": " << message;
        EXPECT_FALSE(message.empty()) << file;
    }
}

// A model of more colours than a palette holds keeps the commonest and
// shows every other as one near it.
TEST(OtherFormats, MoreColoursThanAPaletteHoldsShowNearlyAsThemselves) {
    VoxelParts parts;
    parts.add({0, 0, 0}, {40, 22, 1});
    // 255 colours of three voxels each, a bin apart, and 100 of one voxel
    // each, half a step of red beside the first 100 of those.
    std::vector<raylib::Color> colours;
    for (int k = 0; k < 255; ++k) {
        raylib::Color const common{static_cast<unsigned char>(k % 16 * 16), static_cast<unsigned char>(k / 16 * 16),
                                   200, 255};
        colours.insert(colours.end(), {common, common, common});
        if (k < 100) colours.push_back({static_cast<unsigned char>(common.r + 8), common.g, 200, 255});
    }
    for (size_t i = 0; i < colours.size(); ++i) parts.addVoxel(int(i % 40), int(i / 40), 0, colours[i]);
    VoxelGrid grid;
    ASSERT_EQ(messageOf(composeParts(parts, &grid)), "");
    int farthest = 0;
    for (ColoredVoxel const& v : parts.parts[0].voxels) {
        raylib::Color const shown = colorAt(grid, {v.x, v.z, grid.sizeZ - 1 - v.y});
        farthest = std::max(
            {farthest, std::abs(shown.r - v.color.r), std::abs(shown.g - v.color.g), std::abs(shown.b - v.color.b)});
    }
    EXPECT_LE(farthest, 8) << "each colour shown as one near it";
    EXPECT_GT(farthest, 0) << "there were more than a palette holds";
}

// Tags that cannot be followed are refused before anything is allocated
// for them: a count past their end, nesting too deep, a type unknown.
TEST(OtherFormats, DamagedTagsAreRefused) {
    auto const refusal = [](Bytes const& bytes) {
        try {
            readNbt(bytes);
        } catch (FormatError const& refused) {
            return std::string(refused.what());
        }
        return std::string();
    };
    // A compound named "", then its fields; each field its type, its name, its value.
    Bytes const head = {NbtTag::COMPOUND, 0, 0};
    auto const with = [&](Bytes const& fields) {
        Bytes bytes = head;
        bytes.insert(bytes.end(), fields.begin(), fields.end());
        return bytes;
    };
    Bytes deep = head;
    for (int i = 0; i < 100; ++i) deep.insert(deep.end(), {NbtTag::COMPOUND, 0, 1, 'a'});
    for (auto const& [bytes, expected] : std::vector<std::pair<Bytes, std::string>>{
             {with({NbtTag::LONG_ARRAY, 0, 1, 'a', 0, 0, 0x10, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0}),
              "a count past their end"},
             {with({NbtTag::LIST, 0, 1, 'a', NbtTag::INT, 0x7f, 0, 0, 0, 0}), "a count past their end"},
             {with({NbtTag::LIST, 0, 1, 'a', NbtTag::END, 0, 0, 0, 2, 0, 0, 0}), "a list of tags of no type"},
             {with({13, 0, 1, 'a', 0}), "a tag of the unknown type 13"},
             {deep, "tags nested deeper than 64"},
             {{NbtTag::INT, 0, 0}, "its tags do not begin with a compound"},
         }) {
        EXPECT_NE(refusal(bytes).find(expected), std::string::npos) << refusal(bytes);
    }
    EXPECT_EQ(refusal(with({NbtTag::INT, 0, 1, 'n', 0, 0, 0, 7, 0})), "");
    EXPECT_EQ(readNbt(with({NbtTag::INT, 0, 1, 'n', 0xff, 0xff, 0xff, 0xfe, 0})).find("n", NbtTag::INT)->number, -2);
}

// Every file of the fuzzing corpus (its first byte the format, as the fuzz
// target reads it) loads or is refused with a message.
TEST(OtherFormats, TheFuzzCorpusLoadsOrIsRefused) {
    std::filesystem::path const folder = std::filesystem::path(TESSARINE_SOURCE_DIR) / "tests/fuzz/corpus/model";
    int read = 0, refused = 0;
    for (auto const& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        Bytes const bytes(std::istreambuf_iterator<char>(in), {});
        if (bytes.empty()) continue;
        size_t const formats = std::size(MODEL_EXTENSIONS) - 1;
        std::string const name = std::string("m") + MODEL_EXTENSIONS[1 + bytes[0] % formats];
        VoxelGrid grid;
        bool const accepted = !readModelFile(name, Bytes(bytes.begin() + 1, bytes.end()), &grid);
        (accepted ? read : refused) += 1;
    }
    EXPECT_GT(read, 20);
    EXPECT_GT(refused, 20);
}

// A block of the common families takes its table's colour; air is empty;
// a block the table does not know is grey and named in the model's warning.
TEST(OtherFormats, MinecraftBlocksTakeTheColourOfWhatTheyAreMadeOf) {
    auto const color = [](std::string const& name) { return blockColor(name).value_or(raylib::Color{}); };
    for (auto const& [block, as] : std::vector<std::pair<std::string, std::string>>{
             {"minecraft:oak_stairs", "minecraft:oak_planks"},
             {"minecraft:spruce_fence_gate", "minecraft:spruce_planks"},
             {"minecraft:stripped_birch_log", "minecraft:birch_log"},
             {"minecraft:stone_brick_wall", "minecraft:stone_bricks"},
             {"minecraft:light_blue_wool", "minecraft:light_blue_concrete"},
             {"grass_block", "minecraft:grass_block"},
         }) {
        EXPECT_TRUE(blockColor(block)) << block;
        EXPECT_TRUE(same(color(block), color(as))) << block;
    }
    EXPECT_FALSE(same(color("minecraft:blue_wool"), color("minecraft:light_blue_wool")));
    EXPECT_FALSE(blockColor("minecraft:no_such_block"));
    EXPECT_TRUE(isAir("minecraft:cave_air"));
    VoxModel const model = voxModelOf(2, 1, 1, [](int x, int, int) -> uint8_t { return static_cast<uint8_t>(x + 1); });
    VoxelGrid grid;
    std::string warning;
    ASSERT_EQ(messageOf(readModelFile("s.schem", encodeSchem(model, {"minecraft:stone", "minecraft:made_up"}), &grid,
                                      &warning)),
              "");
    EXPECT_EQ(warning, "its blocks minecraft:made_up have no colour of their own and are shown grey");
    EXPECT_TRUE(same(colorAt(grid, {1, 0, 0}), UNKNOWN_BLOCK_GREY));
    EXPECT_TRUE(same(colorAt(grid, {0, 0, 0}), color("minecraft:stone")));
}

}  // namespace
