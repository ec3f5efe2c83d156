// Writes the game's own assets from code, byte for byte the same on every
// run: the cursor image and the voxel models. Run from the project folder:
//   build/release/tools/make-assets
#include <algorithm>
#include <cmath>
#include <cstdio>

#include <filesystem>

#include "house.h"
#include "raylib-api.h"
#include "vox-writer.h"

namespace {

enum Palette : uint8_t { BARK = 1, LEAF, LEAF_DARK, STONE, STONE_DARK, MOSS, IRON, LAMP_GLOW, BLOSSOM };

VoxModel withPalette(int sizeX, int sizeY, int sizeZ) {
    VoxModel model;
    model.sizeX = sizeX;
    model.sizeY = sizeY;
    model.sizeZ = sizeZ;
    auto set = [&](uint8_t index, VoxColor color) { model.palette[index - 1] = color; };
    set(BARK, {112, 74, 42, 255});
    set(LEAF, {72, 160, 64, 255});
    set(LEAF_DARK, {46, 120, 56, 255});
    set(STONE, {138, 136, 128, 255});
    set(STONE_DARK, {104, 102, 98, 255});
    set(MOSS, {96, 130, 70, 255});
    set(IRON, {52, 54, 60, 255});
    set(LAMP_GLOW, {255, 226, 140, 255});
    set(BLOSSOM, {236, 120, 150, 255});
    return model;
}

// A fixed scatter, so the models look natural and stay reproducible. Patches
// of a few voxels rather than single ones keep the models' meshes small: a
// side of one colour is drawn as one quad.
bool speckle(int x, int y, int z, int every) {
    return static_cast<unsigned>((x * 73856093) ^ (y * 19349663) ^ (z * 83492791)) % every == 0;
}

// Fills the model with the voxels of a shape; colorAt returns 0 for cells
// outside it. The shape is stored solid: the loader builds a face only where
// a voxel has an empty neighbour, so a solid shape has no faces inside.
template <typename ColorAt>
void voxelize(VoxModel& model, ColorAt colorAt) {
    for (int z = 0; z < model.sizeZ; ++z)
        for (int y = 0; y < model.sizeY; ++y)
            for (int x = 0; x < model.sizeX; ++x) {
                uint8_t const color = colorAt(x, y, z);
                if (color != 0) model.voxels.push_back({uint8_t(x), uint8_t(y), uint8_t(z), color});
            }
}

// The loader makes each voxel a quarter of a unit, and the game draws models
// at a tenth of that: 40 voxels are one unit of the world.
VoxModel tree() {
    VoxModel model = withPalette(48, 48, 112);
    voxelize(model, [](int x, int y, int z) -> uint8_t {
        float const dx = x - 23.5f, dy = y - 23.5f;
        if (z < 64 && dx * dx + dy * dy <= 9.0f + (z < 6 ? 6.0f - z : 0.0f)) return BARK;
        float const cz = (z - 78.0f) / 33.0f, cx = dx / 23.0f, cy = dy / 23.0f;
        float const wobble = 0.08f * sinf(x * 0.7f) * cosf(y * 0.6f) + 0.06f * sinf(z * 0.5f);
        if (cx * cx + cy * cy + cz * cz > 1.0f + wobble) return 0;
        if (speckle(x, y, z, 53)) return BLOSSOM;
        return speckle(x / 4, y / 4, z / 4, 3) ? LEAF_DARK : LEAF;
    });
    return model;
}

// Another player, as the game shows those who share its server: a body
// of the player's size (0.6 wide, 1.7 high), in clothes that stand out
// against the ground and the sky.
VoxModel figure() {
    enum Clothes : uint8_t { SHIRT = 10, TROUSERS, SKIN, HAIR, SHOES, EYES };
    VoxModel model = withPalette(24, 12, 68);
    auto set = [&](uint8_t index, VoxColor color) { model.palette[index - 1] = color; };
    set(SHIRT, {226, 72, 40, 255});
    set(TROUSERS, {44, 62, 120, 255});
    set(SKIN, {234, 188, 150, 255});
    set(HAIR, {70, 44, 30, 255});
    set(SHOES, {40, 34, 30, 255});
    set(EYES, {30, 30, 40, 255});
    voxelize(model, [](int x, int y, int z) -> uint8_t {
        bool const leg = (x >= 5 && x <= 10) || (x >= 13 && x <= 18);
        if (z < 4) return leg && y >= 2 && y <= 10 ? SHOES : 0;
        if (z < 28) return leg && y >= 3 && y <= 8 ? TROUSERS : 0;
        if (z < 52) {
            bool const arm = (x <= 3 || x >= 20) && z >= 30 && y >= 3 && y <= 8;
            if (arm) return z < 34 ? SKIN : SHIRT;
            return x >= 4 && x <= 19 && y >= 2 && y <= 9 ? SHIRT : 0;
        }
        if (x < 6 || x > 17 || y < 1 || y > 10) return 0;
        if (z >= 62 || (y >= 8 && z >= 54)) return HAIR;
        if (y == 1 && z >= 57 && z <= 59 && (x == 8 || x == 9 || x == 14 || x == 15)) return EYES;
        return SKIN;
    });
    return model;
}

VoxModel rock() {
    VoxModel model = withPalette(44, 36, 24);
    voxelize(model, [](int x, int y, int z) -> uint8_t {
        float const dx = (x - 21.5f) / 21.0f, dy = (y - 17.5f) / 17.0f, dz = z / 23.0f;
        float const bump = 0.12f * sinf(x * 0.45f + y * 0.3f) * cosf(y * 0.5f - z * 0.4f);
        if (dx * dx + dy * dy + dz * dz > 0.9f + bump) return 0;
        if (z >= 14 && speckle(x / 3, y / 3, 0, 3)) return MOSS;
        return speckle(x / 3, y / 3, z / 3, 4) ? STONE_DARK : STONE;
    });
    return model;
}

VoxModel lampPost() {
    VoxModel model = withPalette(16, 16, 120);
    voxelize(model, [](int x, int y, int z) -> uint8_t {
        int const ax = x < 8 ? 7 - x : x - 8, ay = y < 8 ? 7 - y : y - 8;  // distance from the axis
        int const reach = std::max(ax, ay);
        if (z < 4) return reach <= 5 ? IRON : 0;
        if (z < 96) return reach <= 1 ? IRON : 0;
        if (z < 100) return reach <= 5 ? IRON : 0;
        if (z < 114) {
            if (reach > 5) return 0;
            bool const frame = ax == 5 && ay == 5;
            return frame ? IRON : (reach <= 4 ? LAMP_GLOW : 0);
        }
        if (z < 118) return reach <= 6 - (z - 114) ? IRON : 0;
        return 0;
    });
    // Its lamp shines whatever the light around it.
    model.materials = {{LAMP_GLOW, {{"_type", "_emit"}, {"_emit", "1"}}}};
    return model;
}

// A white crosshair with a dark outline, so it shows on sky and boxes alike.
raylib::Image cursor() {
    int const side = 64, half = side / 2, gap = 6, arm = 26, thickness = 4;
    raylib::Image image = raylib::GenImageColor(side, side, {0, 0, 0, 0});
    raylib::Color const outline{20, 20, 20, 200};
    raylib::Color const fill{255, 255, 255, 255};
    for (int pass = 0; pass < 2; ++pass) {
        int const grow = pass == 0 ? 1 : 0;
        raylib::Color const color = pass == 0 ? outline : fill;
        int const t = thickness + 2 * grow;
        int const length = arm - gap + 2 * grow;
        raylib::ImageDrawRectangle(&image, half - gap - arm + gap - grow, half - t / 2, length, t, color);
        raylib::ImageDrawRectangle(&image, half + gap - grow, half - t / 2, length, t, color);
        raylib::ImageDrawRectangle(&image, half - t / 2, half - gap - arm + gap - grow, t, length, color);
        raylib::ImageDrawRectangle(&image, half - t / 2, half + gap - grow, t, length, color);
    }
    return image;
}

// The desktop icon: a cube of 3 x 3 x 3 voxels seen from above a corner,
// its three sides in three shades, voxels of the scene's colours.
raylib::Image icon() {
    int const side = 256;
    raylib::Image image = raylib::GenImageColor(side, side, {0, 0, 0, 0});
    float const edge = 110, across = edge * 0.8660254f;  // cos 30 degrees
    raylib::Vector2 const centre{side / 2.0f, side / 2.0f + 6};
    // Each side: its far corner and the two steps along its edges.
    struct Side {
        raylib::Vector2 corner, u, v;
        float shade;
    };
    Side const sides[3] = {
        {{centre.x, centre.y - edge}, {-across / 3, edge / 6}, {across / 3, edge / 6}, 1.0f},      // top
        {{centre.x - across, centre.y - edge / 2}, {0, edge / 3}, {across / 3, edge / 6}, 0.75f},  // left
        {{centre.x, centre.y}, {0, edge / 3}, {across / 3, -edge / 6}, 0.55f},                     // right
    };
    raylib::Color const colors[4] = {{0, 189, 135, 255}, {189, 135, 0, 255}, {0, 54, 189, 255}, {189, 0, 54, 255}};
    for (int s = 0; s < 3; ++s) {
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                Side const& f = sides[s];
                auto const at = [&](float a, float b) {
                    return raylib::Vector2{f.corner.x + a * f.u.x + b * f.v.x, f.corner.y + a * f.u.y + b * f.v.y};
                };
                raylib::Color base = colors[(i * 7 + j * 3 + s) % 4 == 3 && (i + j) % 2 ? 3
                                            : (i + j + s) % 3 == 0                      ? 1
                                                                                        : 0];
                raylib::Color const c{static_cast<uint8_t>(base.r * f.shade), static_cast<uint8_t>(base.g * f.shade),
                                      static_cast<uint8_t>(base.b * f.shade), 255};
                raylib::Vector2 const a = at(i + 0.04f, j + 0.04f), b = at(i + 0.96f, j + 0.04f);
                raylib::Vector2 const d = at(i + 0.04f, j + 0.96f), e = at(i + 0.96f, j + 0.96f);
                raylib::ImageDrawTriangle(&image, a, b, e, c);
                raylib::ImageDrawTriangle(&image, a, e, b, c);
                raylib::ImageDrawTriangle(&image, a, e, d, c);
                raylib::ImageDrawTriangle(&image, a, d, e, c);
            }
        }
    }
    return image;
}

}  // namespace

int main() {
    raylib::SetTraceLogLevel(raylib::LOG_WARNING);
    bool ok = true;
    ok &= writeVox("assets/models/tree.vox", tree());
    ok &= writeVox("assets/models/rock.vox", rock());
    ok &= writeVox("assets/models/lamp_post.vox", lampPost());
    ok &= writeVox("assets/models/figure.vox", figure());
    std::error_code error;
    std::filesystem::create_directories("assets/scenes/building/models/props", error);
    ok &= writeVox("assets/scenes/building/models/house.vox", encodeVox(house()));
    ok &= writeVox("assets/scenes/building/models/props/lantern.vox", lantern());
    for (auto const& [make, path] :
         {std::pair{&cursor, "assets/images/cursor.png"}, {&icon, "assets/icons/org.tessarine.Tessarine.png"}}) {
        raylib::Image image = make();
        ok &= raylib::ExportImage(image, path);
        raylib::UnloadImage(image);
    }
    if (!ok) {
        std::fprintf(stderr, "make-assets: could not write the assets (run it from the project folder)\n");
        return 1;
    }
    std::printf(
        "make-assets: wrote assets/models/{tree,rock,lamp_post,figure}.vox, assets/scenes/building/models/house.vox "
        "and "
        "props/lantern.vox beside it, assets/images/cursor.png and assets/icons/org.tessarine.Tessarine.png\n");
    return 0;
}
