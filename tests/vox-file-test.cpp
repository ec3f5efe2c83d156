// The .vox check: what it refuses, and the limits it keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <set>

#include "test-entities.h"
#include "vox-file.h"
#include "vox-writer.h"

namespace {

using Bytes = std::vector<unsigned char>;

void putU32(Bytes& data, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) data.at(at + i) = static_cast<unsigned char>(value >> (8 * i));
}

void append(Bytes& data, char const* id, std::initializer_list<uint32_t> words, size_t extra = 0) {
    data.insert(data.end(), id, id + 4);
    for (size_t i = 0; i < 8 + 4 * words.size() + extra; ++i) data.push_back(0);
    putU32(data, data.size() - extra - 4 * words.size() - 8, static_cast<uint32_t>(4 * words.size() + extra));
    size_t at = data.size() - extra - 4 * words.size();
    for (uint32_t const word : words) putU32(data, (at += 4) - 4, word);
}

// A file of `models` models of `side` voxels a side, each holding `voxels`
// voxels at (1, 1, 1), and a palette. The first SIZE chunk is at byte 20,
// the first XYZI chunk at 44 and its first voxel at 60.
Bytes voxFile(int models = 1, uint32_t side = 8, uint32_t voxels = 2) {
    Bytes data = {'V', 'O', 'X', ' ', 150, 0, 0, 0};
    append(data, "MAIN", {});
    for (int m = 0; m < models; ++m) {
        append(data, "SIZE", {side, side, side});
        append(data, "XYZI", {voxels}, 4 * voxels);
        for (size_t at = data.size() - 4 * voxels; at < data.size(); ++at) data[at] = 1;
    }
    append(data, "RGBA", {}, 1024);
    return data;
}

template <typename Edit>
Bytes edited(Bytes data, Edit edit) {
    edit(data);
    return data;
}

TEST(VoxFileProblem, AcceptsUpToEachLimitAndSaysWhatIsWrongBeyond) {
    struct Case {
        char const* name;
        Bytes data;
        char const* problem;
    };
    Bytes const unknownChunk = edited(voxFile(), [](Bytes& d) { append(d, "nTRN", {1, 2}); });
    Case const cases[] = {
        {"a small model", voxFile(), ""},
        {"4096 models", voxFile(4096), ""},
        {"4097 models", voxFile(4097), "more than 4096 models"},
        {"a model 256 a side", voxFile(1, 256), ""},
        {"a model 257 a side", voxFile(1, 257), "a model size of 257 voxels (1 to 256 allowed)"},
        {"a model 0 a side", edited(voxFile(), [](Bytes& d) { putU32(d, 36, 0); }), "a model size of 0 voxels"},
        {"a model of 4 million voxels", voxFile(1, 256, 4000000), ""},
        {"a huge voxel count", edited(voxFile(), [](Bytes& d) { putU32(d, 56, 0xFFFFFFFF); }),
         "the file ends before its 4294967295 voxels"},
        {"two voxel chunks for a model",
         edited(voxFile(2), [](Bytes& d) { d[68] = 'X', d[69] = 'Y', d[70] = 'Z', d[71] = 'I'; }),
         "a model has two voxel chunks (XYZI)"},
        {"voxels beyond the file", edited(voxFile(), [](Bytes& d) { putU32(d, 56, 1000); }),
         "the file ends before its 1000 voxels"},
        {"voxels beyond their chunk, into the next model's", edited(voxFile(2), [](Bytes& d) { putU32(d, 56, 5); }),
         "a voxel chunk (XYZI) holds fewer than its 5 voxels"},
        {"a voxel on the last cell", edited(voxFile(), [](Bytes& d) { d[62] = 7; }), ""},
        {"a voxel outside its model", edited(voxFile(), [](Bytes& d) { d[62] = 8; }), "a voxel lies outside its model"},
        {"voxels before a size", edited(voxFile(), [](Bytes& d) { d[23] = 'F'; }),
         "voxels (XYZI) come before any model size (SIZE)"},
        {"too short", Bytes{'V', 'O', 'X', ' ', 150, 0, 0}, "the file is too short for a .vox header"},
        {"a header alone", Bytes{'V', 'O', 'X', ' ', 150, 0, 0, 0}, ""},
        {"another magic", edited(voxFile(), [](Bytes& d) { d[3] = '!'; }), "the file does not start with \"VOX \""},
        {"version 149", edited(voxFile(), [](Bytes& d) { putU32(d, 4, 149); }), "unsupported .vox version 149"},
        {"version 200", edited(voxFile(), [](Bytes& d) { putU32(d, 4, 200); }), ""},
        {"a palette cut short", edited(voxFile(), [](Bytes& d) { d.resize(d.size() - 40); }),
         "the file ends inside its palette (RGBA)"},
        {"a size cut short", edited(voxFile(), [](Bytes& d) { d.resize(24); }), "the file ends inside a SIZE chunk"},
        {"an unknown chunk", unknownChunk, ""},
        {"a model after the palette, not read",
         edited(voxFile(),
                [](Bytes& d) {
                    append(d, "SIZE", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
                }),
         ""},
    };
    for (auto const& c : cases) {
        // The whole problem for an accepted file, the start of it otherwise.
        std::string const problem = messageOf(readVoxFile(c.data));
        EXPECT_EQ(problem.substr(0, *c.problem ? std::string(c.problem).size() : std::string::npos), c.problem)
            << c.name;
    }
    EXPECT_FALSE(voxFileSizeProblem(16u << 20));
    EXPECT_EQ(messageOf(voxFileSizeProblem((16u << 20) + 1)), "the file is larger than 16 MiB");
}

// Scenes: models placed by a graph of transforms, groups and shapes.

using Matrix = std::array<std::array<int, 3>, 3>;
using Cells = std::set<std::tuple<int, int, int, int>>;

Cells cellsOf(VoxelGrid const& grid) {
    Cells cells;
    for (int x = 0; x < grid.sizeX; ++x)
        for (int y = 0; y < grid.sizeY; ++y)
            for (int z = 0; z < grid.sizeZ; ++z) {
                if (grid.at(x, y, z)) cells.emplace(x, y, z, grid.at(x, y, z));
            }
    return cells;
}

uint8_t byteOf(Matrix const& m) {
    std::array<int, 3> columns{}, signs{};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            if (m[row][column]) columns[row] = column, signs[row] = m[row][column];
        }
    }
    return rotationByte(columns, signs);
}

// The scene as MagicaVoxel describes it, worked out plainly: the centre of
// each voxel, about its model's middle voxel, turned and moved by every
// transform from the shape up to the root (the matrices given), then y up
// and shifted to start at 0.
Cells placedPlainly(VoxScene const& scene, std::map<int, Matrix> const& rotations) {
    std::map<int, VoxNode> nodes;
    for (VoxNode const& node : scene.nodes) nodes.emplace(node.id, node);
    std::vector<std::array<double, 4>> voxels;
    auto const walk = [&](auto const& self, int id, std::vector<VoxNode> chain) -> void {
        VoxNode const& node = nodes.at(id);
        if (node.hidden || (node.kind == VoxNode::TRANSFORM && node.layer == 0)) return;
        chain.push_back(node);
        if (node.kind == VoxNode::TRANSFORM) return self(self, node.child, chain);
        for (int const child : node.children) self(self, child, chain);
        if (node.kind != VoxNode::SHAPE) return;
        VoxModel const& model = scene.models[node.model];
        int const size[3] = {model.sizeX, model.sizeY, model.sizeZ};
        for (Voxel const& v : model.voxels) {
            std::array<double, 3> p{v.x + 0.5 - size[0] / 2, v.y + 0.5 - size[1] / 2, v.z + 0.5 - size[2] / 2};
            for (auto t = chain.rbegin(); t != chain.rend(); ++t) {
                if (t->kind != VoxNode::TRANSFORM) continue;
                Matrix const& m = rotations.at(t->id);
                std::array<double, 3> q{};
                for (int row = 0; row < 3; ++row) {
                    q[row] = t->translation[row];
                    for (int column = 0; column < 3; ++column) q[row] += m[row][column] * p[column];
                }
                p = q;
            }
            voxels.push_back({p[0] - 0.5, p[1] - 0.5, p[2] - 0.5, double(v.colorIndex)});
        }
    };
    walk(walk, 0, {});
    double low[3] = {1e9, 1e9, 1e9}, high[3] = {-1e9, -1e9, -1e9};
    for (auto const& v : voxels) {
        for (int axis = 0; axis < 3; ++axis)
            low[axis] = std::min(low[axis], v[axis]), high[axis] = std::max(high[axis], v[axis]);
    }
    Cells cells;
    for (auto const& v : voxels) {
        cells.emplace(std::lround(v[0] - low[0]), std::lround(v[2] - low[2]), std::lround(high[1] - v[1]), int(v[3]));
    }
    return cells;
}

VoxModel modelOfSize(int x, int y, int z) {
    VoxModel model;
    model.sizeX = x, model.sizeY = y, model.sizeZ = z;
    // Voxels along the three edges from the origin, each edge its own
    // colour, so that every turn and mirror shows.
    for (int i = 0; i < std::max({x, y, z}); ++i) {
        if (i < x) model.voxels.push_back({uint8_t(i), 0, 0, 1});
        if (i > 0 && i < y) model.voxels.push_back({0, uint8_t(i), 0, 2});
        if (i > 0 && i < z) model.voxels.push_back({0, 0, uint8_t(i), 3});
    }
    return model;
}

// Under the root: a model of odd sides turned by one rotation, and one of
// even sides turned by the same rotation inside another; and, not shown, a
// model on a hidden layer and one under a hidden node. The hidden layer is
// layer 0, which groups and shapes (having no layer) are not on.
VoxScene sceneTurnedBy(uint8_t rotation, uint8_t outer) {
    VoxScene scene{{modelOfSize(3, 5, 7), modelOfSize(4, 2, 6)}, {}, {{0, true}, {1, false}}};
    auto const transform = [](int id, int child, uint8_t r, std::array<int, 3> t, int layer = 1, bool hidden = false) {
        return VoxNode{VoxNode::TRANSFORM, id, hidden, child, layer, r, t};
    };
    auto const shape = [](int id, int model) { return VoxNode{VoxNode::SHAPE, id, false, -1, 0, 4, {}, 0, {}, model}; };
    VoxNode group{VoxNode::GROUP, 1};
    group.children = {2, 4, 8, 10};
    scene.nodes = {transform(0, 1, 4, {0, 0, 0}),
                   group,
                   transform(2, 3, rotation, {3, -2, 5}),
                   shape(3, 0),
                   transform(4, 5, outer, {-7, 4, 1}),
                   {VoxNode::GROUP, 5, false, -1, 0, 4, {}, 0, {6}},
                   transform(6, 7, rotation, {2, 2, -3}),
                   shape(7, 1),
                   transform(8, 9, 4, {40, 0, 0}, 0),
                   shape(9, 0),
                   transform(10, 11, 4, {0, 40, 0}, 1, true),
                   shape(11, 0)};
    scene.nodes[4].extraFrames = 2;
    return scene;
}

TEST(VoxScene, PlacesEveryModelUnderEveryChainOfTransforms) {
    std::array<int, 3> order{0, 1, 2};
    Matrix const quarter{{{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}};
    int rotations = 0;
    do {
        for (int signs = 0; signs < 8; ++signs) {
            Matrix m{};
            for (int row = 0; row < 3; ++row) m[row][order[row]] = signs >> row & 1 ? -1 : 1;
            VoxScene const scene = sceneTurnedBy(byteOf(m), byteOf(quarter));
            Matrix const identity{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
            std::map<int, Matrix> const matrices{{0, identity}, {2, m},        {4, quarter},
                                                 {6, m},        {8, identity}, {10, identity}};
            VoxelGrid grid;
            ASSERT_EQ(messageOf(readVoxFile(encodeVox(scene), &grid)), "");
            EXPECT_EQ(cellsOf(grid), placedPlainly(scene, matrices)) << "rotation " << int(byteOf(m));
            ++rotations;
        }
    } while (std::next_permutation(order.begin(), order.end()));
    EXPECT_EQ(rotations, 48);
}

TEST(VoxScene, RefusesGraphsThatCannotBeFollowedOrPlaceTooMuch) {
    auto const edited = [](auto edit) {
        VoxScene scene = sceneTurnedBy(4, 4);
        edit(scene);
        return encodeVox(scene);
    };
    auto const node = [](VoxScene& scene, int id) -> VoxNode& {
        return *std::find_if(scene.nodes.begin(), scene.nodes.end(), [&](VoxNode const& n) { return n.id == id; });
    };
    auto const translated = [&](std::array<int, 3> t) {
        return edited([&](VoxScene& s) { node(s, 2).translation = t; });
    };
    // Thousands of transforms deep, walked without recursion.
    VoxScene deep{{modelOfSize(2, 2, 2)}, {}, {}};
    for (int id = 0; id < 10000; ++id) deep.nodes.push_back({VoxNode::TRANSFORM, id, false, id + 1, 0, 4, {1, 0, 0}});
    deep.nodes.push_back({VoxNode::SHAPE, 10000, false, -1, 0, 4, {}, 0, {}, 0});
    // As many voxels as a scene may place, and more: one model of 64^3
    // voxels, 16 and 17 times.
    auto const crowded = [](int copies) {
        VoxScene scene{{voxModelOf(64, 64, 64, [](int, int, int) { return 1; })}, {{VoxNode::GROUP, 0}}, {}};
        for (int i = 1; i <= copies; ++i) {
            scene.nodes[0].children.push_back(2 * i);
            scene.nodes.push_back({VoxNode::TRANSFORM, 2 * i, false, 2 * i + 1, 0, 4, {0, 0, 0}});
            scene.nodes.push_back({VoxNode::SHAPE, 2 * i + 1, false, -1, 0, 4, {}, 0, {}, 0});
        }
        return encodeVox(scene);
    };
    std::pair<std::vector<uint8_t>, char const*> const cases[] = {
        {encodeVox(deep), ""},
        {crowded(16), ""},
        {edited([&](VoxScene& s) { node(s, 2).rotation = 0; }), "a transform's rotation 0 is not one"},
        {edited([&](VoxScene& s) { node(s, 2).extraFrames = -1; }), "a transform node (nTRN) is cut short or damaged"},
        {edited([&](VoxScene& s) { node(s, 2).rotation = 3 | 1 << 2; }), "a transform's rotation 7 is not one"},
        {edited([&](VoxScene& s) { node(s, 2).rotation = 128 | 4; }), "a transform's rotation 132 is not one"},
        {edited([&](VoxScene& s) { node(s, 6).child = 1; }), "the scene graph loops back to node 1"},
        {edited([&](VoxScene& s) { node(s, 5).children = {5}; }), "the scene graph loops back to node 5"},
        {edited([&](VoxScene& s) { node(s, 3).model = 2; }), "a shape shows model 2, but the file has 2"},
        {edited([&](VoxScene& s) { node(s, 3).model = -1; }), "a shape shows model -1, but the file has 2"},
        {edited([&](VoxScene& s) { node(s, 2).child = 99; }), "the scene graph names node 99, which it lacks"},
        {edited([&](VoxScene& s) { node(s, 0).id = 12; }), "the scene graph has no root (node 0)"},
        {edited([&](VoxScene& s) { node(s, 9).id = 7; }), "two nodes of the scene graph have the id 7"},
        {translated({2147483647, 0, 0}), "its scene spans 2147483656 voxels along x, more than 2048"},
        {translated({-2147483647 - 1, 2147483647, 0}), "its scene spans 2147483646 voxels along x, more than 2048"},
        {crowded(17), "its scene places more than 4194304 voxels"},
    };
    for (auto const& [data, problem] : cases) {
        std::string const found = messageOf(readVoxFile(data));
        EXPECT_EQ(found.substr(0, *problem ? std::string(problem).size() : std::string::npos), problem);
    }
    // A graph whose root is hidden shows nothing: an empty grid.
    VoxelGrid nothing(2, 2, 2);
    EXPECT_EQ(messageOf(readVoxFile(edited([&](VoxScene& s) { node(s, 0).hidden = true; }), &nothing)), "");
    EXPECT_EQ(std::tuple(nothing.sizeX, nothing.sizeY, nothing.sizeZ), std::tuple(0, 0, 0));
    // Cut short, a transform says so.
    std::vector<uint8_t> cut = encodeVox(sceneTurnedBy(4, 4));
    auto const transform = std::search(cut.begin(), cut.end(), std::begin("nTRN"), std::begin("nTRN") + 4);
    cut.erase(transform + 12 + 10, cut.end());
    EXPECT_EQ(messageOf(readVoxFile(cut)), "a transform node (nTRN) is cut short or damaged");
    // Bytes after a group's children are not read as one more child.
    std::vector<uint8_t> padded = encodeVox(sceneTurnedBy(4, 4));
    size_t const group =
        std::search(padded.begin(), padded.end(), std::begin("nGRP"), std::begin("nGRP") + 4) - padded.begin();
    uint32_t const size = padded[group + 4] | padded[group + 5] << 8 | padded[group + 6] << 16;
    putU32(padded, group + 4, size + 4);
    padded.insert(padded.begin() + group + 12 + size, 4, 0);
    EXPECT_EQ(messageOf(readVoxFile(padded)), "");
    // A translation past 32 bits is damage, not a number to wrap around.
    std::vector<uint8_t> wide = translated({-2147483647 - 1, 0, 0});
    std::string const lowest = "-2147483648";
    auto const text = std::search(wide.begin(), wide.end(), lowest.begin(), lowest.end());
    ASSERT_NE(text, wide.end());
    *text = '+';
    EXPECT_EQ(messageOf(readVoxFile(wide)), "a transform's translation \"+2147483648 0 0\" is not three whole numbers");
}

TEST(VoxScene, TheSampleSceneShowsAllItsModels) {
    std::string const path = std::string(TESSARINE_SAMPLES_DIR) + "/scene-groups.vox";
    std::ifstream in(path, std::ios::binary);
    if (!in) GTEST_SKIP() << "No sample files: " << path << " is absent";
    VoxelGrid grid;
    ASSERT_EQ(messageOf(readVoxFile(std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {}), &grid)), "");
    // Four characters of 20 x 21 x 20 voxels in a row, the letters of a title
    // above them: 92 wide, 48 high, 21 deep.
    EXPECT_EQ(std::tuple(grid.sizeX, grid.sizeY, grid.sizeZ), std::tuple(92, 48, 21));
}

// A file without an RGBA chunk has MagicaVoxel's default palette, as the
// format's description lists it (0xAABBGGRR), whatever the grid held before.
TEST(VoxPalette, AFileWithoutOneHasTheDefault) {
    VoxelGrid grid;
    grid.palette[1] = {1, 2, 3, 4};
    ASSERT_EQ(messageOf(readVoxFile(edited(voxFile(), [](Bytes& d) { d.resize(d.size() - 1036); }), &grid)), "");
    EXPECT_EQ(std::memcmp(grid.palette.data(), defaultVoxPalette().data(), sizeof grid.palette), 0);
    auto const packed = [](raylib::Color c) {
        return uint32_t{c.a} << 24 | uint32_t{c.b} << 16 | uint32_t{c.g} << 8 | c.r;
    };
    for (auto const& [index, word] : {std::pair{2, 0xffccffffu},
                                      {7, 0xffffccffu},
                                      {44, 0xffccccccu},
                                      {216, 0xff0000eeu},
                                      {226, 0xff00ee00u},
                                      {236, 0xffee0000u},
                                      {255, 0xff111111u}})
        EXPECT_EQ(packed(defaultVoxPalette()[index]), word) << "entry " << index;
    std::string const path = std::string(TESSARINE_SAMPLES_DIR) + "/vox-format.txt";
    std::ifstream in(path);
    if (!in) GTEST_SKIP() << "No sample files: " << path << " is absent";
    std::string const text(std::istreambuf_iterator<char>(in), {});
    size_t at = text.find("default_palette[256]");
    ASSERT_NE(at, std::string::npos);
    for (int i = 0; i < 256; ++i) {
        at = text.find("0x", at) + 2;
        uint32_t const word = std::stoul(text.substr(at, 8), nullptr, 16);
        EXPECT_EQ(word, packed(defaultVoxPalette()[i])) << "entry " << i;
    }
}

}  // namespace

// A material chunk gives its colour index a material: emissive, glass or
// metal, with its amount from 0 to 1 as MagicaVoxel writes it; others, and
// numbers that are none, leave it diffuse; one cut short is damage.
TEST(VoxMaterials, EachColourTakesItsChunksMaterial) {
    using Properties = std::vector<std::pair<std::string, std::string>>;
    struct Case {
        Properties properties;
        VoxMaterial::Kind kind;
        float amount, rough;
    } const cases[] = {
        {{{"_type", "_emit"}, {"_emit", "0.7"}, {"_flux", "2"}}, VoxMaterial::EMIT, 0.7f, 0},
        {{{"_type", "_emit"}}, VoxMaterial::EMIT, 1, 0},
        {{{"_type", "_glass"}, {"_trans", "0.4"}}, VoxMaterial::GLASS, 0.4f, 0},
        {{{"_type", "_glass"}, {"_alpha", "x"}, {"_weight", "3"}}, VoxMaterial::GLASS, 1, 0},
        {{{"_type", "_metal"}, {"_metal", "0.5"}, {"_rough", "0.25"}}, VoxMaterial::METAL, 0.5f, 0.25f},
        {{{"_type", "_diffuse"}, {"_weight", "1"}}, VoxMaterial::DIFFUSE, 0, 0},
        // An empty value last, read at the chunk's very end.
        {{{"_type", "_emit"}, {"_note", ""}}, VoxMaterial::EMIT, 1, 0},
    };
    for (auto const& [properties, kind, amount, rough] : cases) {
        VoxModel model = voxModelOf(1, 1, 1, [](int, int, int) { return 3; });
        model.materials = {{3, properties}, {0, {{"_type", "_emit"}}}, {256, {{"_type", "_emit"}}}};
        VoxelGrid grid;
        ASSERT_EQ(messageOf(readVoxFile(encodeVox(model), &grid)), "");
        EXPECT_EQ(grid.materials[3].kind, kind) << properties[0].second;
        EXPECT_FLOAT_EQ(grid.materials[3].amount, amount) << properties[0].second;
        EXPECT_FLOAT_EQ(grid.materials[3].rough, rough);
        EXPECT_EQ(grid.materials[0].kind, VoxMaterial::DIFFUSE) << "index 0 shows nothing";
    }
    VoxModel model = voxModelOf(1, 1, 1, [](int, int, int) { return 1; });
    model.materials = {{1, {{"_type", "_emit"}}}};
    std::vector<uint8_t> damaged = encodeVox(model);
    auto const chunk = std::search(damaged.begin(), damaged.end(), std::begin("MATL"), std::begin("MATL") + 4);
    ASSERT_NE(chunk, damaged.end());
    putU32(damaged, chunk - damaged.begin() + 20, 1000);  // its first key's length
    EXPECT_EQ(messageOf(readVoxFile(damaged)), "a material (MATL) is cut short or damaged");
}
