#include "house.h"

#include <algorithm>

namespace {

enum Palette : uint8_t { PLASTER = 1, WOOD, WOOD_DARK, TILE, IRON, GLOW, MARKER };

// The walls are 10 voxels high (2.5 units); the house is 28 deep along x
// and 32 wide along y. The door, 6 wide and 8 high, faces +x beside the
// corner at y = 0; straight behind it, past a landing 4 deep, the stairs
// rise toward -x, as wide as the door, so that a player who walks in holds
// on and climbs.
constexpr int STOREY = 10, DEPTH = 28, WIDTH = 32, STAIRS_WIDE = 6, LANDING = 4;
constexpr int STAIRS_LONG = DEPTH - 2 - LANDING;

VoxModel modelOf(int sizeX, int sizeY, int sizeZ, auto colorAt) {
    VoxModel model = voxModelOf(sizeX, sizeY, sizeZ, colorAt);
    auto set = [&](uint8_t index, VoxColor color) { model.palette[index - 1] = color; };
    set(PLASTER, {222, 206, 178, 255});
    set(WOOD, {150, 104, 62, 255});
    set(WOOD_DARK, {104, 70, 42, 255});
    set(TILE, {160, 62, 48, 255});
    set(IRON, {52, 54, 60, 255});
    set(GLOW, {255, 226, 140, 255});
    set(MARKER, {230, 30, 30, 255});
    // A lantern's light shines whatever the light around it.
    model.materials = {{GLOW, {{"_type", "_emit"}, {"_emit", "1"}}}};
    return model;
}

// A wall along x, one voxel thick: with a door, or with two windows.
VoxModel longWall(bool door) {
    return modelOf(WIDTH, 1, STOREY, [door](int x, int, int z) -> uint8_t {
        bool const hole = door ? (x >= 1 && x < 1 + STAIRS_WIDE && z < 8)
                               : ((x >= 6 && x < 10) || (x >= 22 && x < 26)) && z >= 3 && z < 7;
        return hole ? 0 : PLASTER;
    });
}

// A wall between the long walls, with a window.
VoxModel shortWall() {
    return modelOf(DEPTH - 2, 1, STOREY,
                   [](int x, int, int z) -> uint8_t { return x >= 11 && x < 15 && z >= 3 && z < 7 ? 0 : PLASTER; });
}

// The upper floor, with a well over the landing and the stairs.
VoxModel floor() {
    return modelOf(DEPTH - 2, WIDTH - 2, 1,
                   [](int x, int y, int) -> uint8_t { return x >= 2 && y < STAIRS_WIDE ? 0 : WOOD; });
}

// Eleven steps a voxel high and two deep, rising toward -x.
VoxModel stairs() {
    return modelOf(STAIRS_LONG, STAIRS_WIDE, STOREY + 1, [](int x, int, int z) -> uint8_t {
        int const step = (STAIRS_LONG - x + 1) / 2;  // 1 at the foot, 11 at the top
        return z < step ? (step % 2 ? WOOD : WOOD_DARK) : 0;
    });
}

VoxModel roof() {
    return modelOf(DEPTH, WIDTH, 1, [](int, int, int) -> uint8_t { return TILE; });
}

VoxModel block() {
    return modelOf(6, 6, 6, [](int, int, int) -> uint8_t { return MARKER; });
}

// The rotations the walls are turned by: none, a quarter turn about z
// (x onto y) and a half turn about z.
uint8_t const STRAIGHT = rotationByte({0, 1, 2}, {1, 1, 1});
uint8_t const QUARTER = rotationByte({1, 0, 2}, {-1, 1, 1});
uint8_t const HALF = rotationByte({0, 1, 2}, {-1, -1, 1});

// The translation that puts the lowest voxel of a model of the given size,
// turned by the rotation, at low: MagicaVoxel turns a model about its middle
// voxel (rounded down), between voxel centres, which lie half a voxel off.
std::array<int, 3> placedAt(VoxModel const& model, uint8_t rotation, std::array<int, 3> low) {
    int const size[3] = {model.sizeX, model.sizeY, model.sizeZ};
    int const columns[3] = {rotation & 3, rotation >> 2 & 3, 3 - (rotation & 3) - (rotation >> 2 & 3)};
    std::array<int, 3> translation{};
    for (int row = 0; row < 3; ++row) {
        int const sign = rotation >> (4 + row) & 1 ? -1 : 1;
        int const half = size[columns[row]] / 2;
        // The doubled centres of the model's first and last voxel along the axis.
        int const ends[2] = {sign * (2 * (0 - half) + 1), sign * (2 * (size[columns[row]] - 1 - half) + 1)};
        translation[row] = low[row] - (std::min(ends[0], ends[1]) - 1) / 2;
    }
    return translation;
}

}  // namespace

VoxScene house() {
    VoxScene scene;
    scene.models = {longWall(true), longWall(false), shortWall(), floor(), stairs(), roof(), block()};
    enum Model { DOOR_WALL, WINDOW_WALL, SHORT_WALL, FLOOR, STAIRS, ROOF, BLOCK };
    int next = 0;
    auto const id = [&] { return next++; };
    // A transform over a shape; returns the transform's id.
    auto const place = [&](int model, uint8_t rotation, std::array<int, 3> low, int layer = 0, bool hidden = false) {
        int const transform = id(), shape = id();
        VoxNode node{VoxNode::TRANSFORM,
                     transform,
                     hidden,
                     shape,
                     layer,
                     rotation,
                     placedAt(scene.models[model], rotation, low)};
        scene.nodes.push_back(node);
        scene.nodes.push_back({VoxNode::SHAPE, shape, false, -1, 0, 4, {}, 0, {}, model});
        return transform;
    };
    // A storey's four walls, grouped under a transform that lifts them.
    auto const storey = [&](int lift, int frontWall) {
        int const transform = id(), group = id();
        VoxNode lifted{VoxNode::TRANSFORM, transform, false, group, 0, STRAIGHT, {0, 0, lift}};
        VoxNode walls{VoxNode::GROUP, group};
        walls.children = {place(frontWall, QUARTER, {DEPTH - 1, 0, 0}), place(WINDOW_WALL, QUARTER, {0, 0, 0}),
                          place(SHORT_WALL, STRAIGHT, {1, 0, 0}), place(SHORT_WALL, HALF, {1, WIDTH - 1, 0})};
        scene.nodes.push_back(lifted);
        scene.nodes.push_back(walls);
        return transform;
    };
    int const root = id(), top = id();
    scene.nodes.push_back({VoxNode::TRANSFORM, root, false, top, -1, STRAIGHT});
    VoxNode group{VoxNode::GROUP, top};
    int const roof = place(ROOF, STRAIGHT, {0, 0, 2 * STOREY});
    group.children = {storey(0, DOOR_WALL),
                      storey(STOREY, WINDOW_WALL),
                      place(FLOOR, STRAIGHT, {1, 1, STOREY}),
                      place(STAIRS, STRAIGHT, {1, 1, 0}),
                      roof,
                      place(BLOCK, STRAIGHT, {DEPTH + 10, 0, 0}, 1),
                      place(BLOCK, STRAIGHT, {DEPTH + 10, WIDTH, 0}, 0, true)};
    // The roof's transform has an animation's second frame, which does not show.
    for (VoxNode& node : scene.nodes) node.extraFrames = node.id == roof ? 1 : 0;
    scene.nodes.push_back(group);
    scene.layers = {{0, false}, {1, true}};
    return scene;
}

VoxModel lantern() {
    return modelOf(5, 5, 9, [](int x, int y, int z) -> uint8_t {
        bool const edge = (x == 0 || x == 4) && (y == 0 || y == 4);
        if (z == 0 || z == 8) return IRON;
        return edge ? IRON : (x > 0 && x < 4 && y > 0 && y < 4 ? GLOW : 0);
    });
}
