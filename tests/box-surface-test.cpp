// The surface of a chunk's boxes, merged, and its boxes seen from far away.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "box-surface.h"
#include "coarse-boxes.h"

namespace {

constexpr raylib::Color GRASS{0, 189, 135, 255}, FLOWER{189, 0, 54, 255};

struct Boxes {
    char const* name;
    std::vector<AABox> own, around;
    size_t quads;  // how many the surface should take
};

std::vector<AABox const*> pointers(std::vector<AABox> const& boxes) {
    std::vector<AABox const*> all;
    for (AABox const& box : boxes) all.push_back(&box);
    return all;
}

float coordinate(raylib::Vector3 p, int axis) {
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

// Whether the face of box on the given side of axis holds the point (u, v)
// of the plane at plane.
bool faceHolds(AABox const& box, int axis, bool positive, float plane, float u, float v) {
    if (!solid(box)) return false;
    float const centre = coordinate(box.position, axis), half = coordinate(box.aabb.size, axis) / 2;
    float const at = positive ? centre + half : centre - half;
    auto const within = [&](int other, float value) {
        float const c = coordinate(box.position, other), h = coordinate(box.aabb.size, other) / 2;
        return c - h < value && value < c + h;
    };
    return std::abs(at - plane) <= 1e-3f && within((axis + 1) % 3, u) && within((axis + 2) % 3, v);
}

// Every point of every plane of the boxes' faces, at sixteenths of a unit
// off the edges: what the boxes show there, and what the quads draw.
void expectSameSurface(Boxes const& world, std::vector<SurfaceQuad> const& quads) {
    for (AABox const& box : world.own) {
        for (int axis = 0; axis < 3; ++axis) {
            for (bool const positive : {false, true}) {
                float const plane =
                    coordinate(box.position, axis) + (positive ? 1 : -1) * coordinate(box.aabb.size, axis) / 2;
                for (float u = -4 + 1 / 16.0f; u < 4; u += 1 / 8.0f) {
                    for (float v = -4 + 1 / 16.0f; v < 4; v += 1 / 8.0f) {
                        raylib::Color shown{};
                        bool covered = false;
                        for (AABox const& other : world.own) {
                            if (faceHolds(other, axis, positive, plane, u, v)) shown = other.color;
                            covered = covered || faceHolds(other, axis, !positive, plane, u, v);
                        }
                        for (AABox const& other : world.around)
                            covered = covered || faceHolds(other, axis, !positive, plane, u, v);
                        int drawn = 0;
                        raylib::Color colour{};
                        for (SurfaceQuad const& quad : quads) {
                            if (quad.direction == faceOf(axis, positive) && std::abs(quad.plane - plane) <= 1e-3f &&
                                quad.low[0] < u && u < quad.high[0] && quad.low[1] < v && v < quad.high[1])
                                ++drawn, colour = quad.color;
                        }
                        bool const shows = shown.a == 255 && !covered;
                        ASSERT_EQ(drawn, shows ? 1 : 0) << world.name << ": axis " << axis << (positive ? " +" : " -")
                                                        << " at " << plane << ", (" << u << ", " << v << ")";
                        if (shows) {
                            ASSERT_EQ(colour.r, shown.r) << world.name;
                        }
                    }
                }
            }
        }
    }
}

TEST(BoxSurface, CoversExactlyWhatTheBoxesShowInAsFewQuadsAsMerging) {
    float const step = std::nextafter(1000.5f, 2000.0f);
    Boxes const worlds[] = {
        // Tops, bottoms and sides of one colour in one plane merge; the
        // sides the columns share are left out.
        {"four columns of one height",
         {{{0.5f, 0, 0.5f}, {1, 1, 1}, GRASS},
          {{1.5f, 0, 0.5f}, {1, 1, 1}, GRASS},
          {{0.5f, 0, 1.5f}, {1, 1, 1}, GRASS},
          {{1.5f, 0, 1.5f}, {1, 1, 1}, GRASS}},
         {},
         6},
        // The taller one's side keeps only what stands above the lower.
        {"a column beside a lower one",
         {{{0.5f, 1, 0.5f}, {1, 2, 1}, GRASS}, {{1.5f, 0.5f, 0.5f}, {1, 1, 1}, GRASS}},
         {},
         10},
        {"two colours side by side", {{{0.5f, 0, 0}, {1, 1, 1}, GRASS}, {{1.5f, 0, 0}, {1, 1, 1}, FLOWER}}, {}, 10},
        // The slab's top is a ring around the box, its bottom hidden.
        {"a box on a wider slab", {{{0, 0, 0}, {3, 1, 3}, GRASS}, {{0, 1, 0}, {1, 1, 1}, FLOWER}}, {}, 14},
        // Boxes of another chunk hide, but are not drawn.
        {"a neighbour in another chunk", {{{0, 0, 0}, {1, 1, 1}, GRASS}}, {{{1, 0, 0}, {1, 1, 1}, FLOWER}}, 5},
        {"a translucent neighbour", {{{0, 0, 0}, {1, 1, 1}, GRASS}, {{1, 0, 0}, {1, 1, 1}, {189, 0, 54, 254}}}, {}, 6},
        {"an inverted neighbour", {{{0, 0, 0}, {1, 1, 1}, GRASS}, {{1, 0, 0}, {-1, 1, 1}, FLOWER}}, {}, 6},
        {"neighbours a float step apart, far out",
         {{{1000, 0, 0}, {1, 1, 1}, GRASS}, {{step + 0.5f, 0, 0}, {1, 1, 1}, GRASS}},
         {},
         6},
    };
    for (Boxes const& world : worlds) {
        auto const quads = boxSurface(pointers(world.own), pointers(world.around));
        EXPECT_EQ(quads.size(), world.quads) << world.name;
        // Points are looked at around the origin.
        if (world.own.front().position.x < 100) expectSameSurface(world, quads);
    }
}

// Whether a solid box holds the point.
bool filledAt(std::vector<AABox const*> const& boxes, raylib::Vector3 p) {
    return std::any_of(boxes.begin(), boxes.end(), [&](AABox const* each) {
        AABox const& box = *each;
        return solid(box) &&
               raylib::CheckCollisionBoxes(
                   {p, p}, {raylib::Vector3Subtract(box.position, raylib::Vector3Scale(box.aabb.size, 0.5f)),
                            raylib::Vector3Add(box.position, raylib::Vector3Scale(box.aabb.size, 0.5f))});
    });
}

// Shaded, the surface is the same; each corner is as shut in as the boxes
// just around it in front of its face say (both sides: 3, else one for
// each of the two sides and the diagonal), and a quad whose corners differ
// along an axis spans at most the band along it: the shade fades within a
// unit of what casts it.
TEST(BoxSurface, ShadesEachCornerByTheBoxesAroundIt) {
    Boxes const worlds[] = {
        {"a column on a floor", {{{0, -0.5f, 0}, {8, 1, 8}, GRASS}, {{0.5f, 1.5f, 0.5f}, {1, 3, 1}, FLOWER}}, {}, 0},
        {"two walls meeting on a floor",
         {{{0, -0.5f, 0}, {8, 1, 8}, GRASS}, {{-1, 1, -2.5f}, {4, 2, 1}, FLOWER}, {{-2.5f, 1, -1}, {1, 2, 2}, FLOWER}},
         {},
         0},
        {"a step whose upper half is another chunk's",
         {{{0, -0.5f, 0}, {8, 1, 8}, GRASS}},
         {{{2, 0.5f, 0}, {4, 1, 8}, GRASS}},
         0},
    };
    constexpr float OFF = 0.01f;
    size_t shutIn = 0, corners = 0;
    for (Boxes const& world : worlds) {
        std::vector<AABox const*> all = pointers(world.own);
        for (AABox const* box : pointers(world.around)) all.push_back(box);
        auto const quads = boxSurface(pointers(world.own), pointers(world.around), 1);
        expectSameSurface(world, quads);
        for (SurfaceQuad const& quad : quads) {
            int const axis = axisOf(quad.direction), u = (axis + 1) % 3, v = (axis + 2) % 3;
            float const out = quad.direction % 2 == 0 ? OFF : -OFF;
            std::array<std::array<int, 2>, 2> const& occlusion = {
                {{quad.occlusion[0][0], quad.occlusion[0][1]}, {quad.occlusion[1][0], quad.occlusion[1][1]}}};
            bool const alongU = occlusion[0][0] != occlusion[1][0] || occlusion[0][1] != occlusion[1][1];
            bool const alongV = occlusion[0][0] != occlusion[0][1] || occlusion[1][0] != occlusion[1][1];
            if (alongU) {
                EXPECT_LE(quad.high[0] - quad.low[0], 1 + OFF) << world.name;
            }
            if (alongV) {
                EXPECT_LE(quad.high[1] - quad.low[1], 1 + OFF) << world.name;
            }
            for (int cu = 0; cu < 2; ++cu) {
                for (int cv = 0; cv < 2; ++cv) {
                    // Just beside the corner, off the quad by du along u and dv along v.
                    auto const filled = [&](float du, float dv) {
                        float p[3];
                        p[axis] = quad.plane + out;
                        p[u] = (cu ? quad.high[0] : quad.low[0]) + du;
                        p[v] = (cv ? quad.high[1] : quad.low[1]) + dv;
                        return filledAt(all, {p[0], p[1], p[2]});
                    };
                    float const du = cu ? OFF : -OFF, dv = cv ? OFF : -OFF;
                    bool const side1 = filled(du, -dv), side2 = filled(-du, dv);
                    int const expected = side1 && side2 ? 3 : side1 + side2 + filled(du, dv);
                    EXPECT_EQ(occlusion[cu][cv], expected) << world.name << ": axis " << axis << " at " << quad.plane
                                                           << ", corner (" << cu << ", " << cv << ")";
                    shutIn += expected == 3, ++corners;
                }
            }
        }
    }
    EXPECT_GT(shutIn, 0u) << "the walls' inner corner";
    for (SurfaceQuad const& quad : boxSurface(pointers(worlds[0].own), {}, 0)) {
        EXPECT_EQ(quad.occlusion[0][0] + quad.occlusion[0][1] + quad.occlusion[1][0] + quad.occlusion[1][1], 0)
            << "unshaded";
    }
    EXPECT_GT(corners, 0u);
}

// From far away a chunk's boxes become cells of twice its smallest box,
// each in the colour filling most of it where they fill at least half, or
// nothing when that would not look like them.
TEST(CoarseBoxes, FillTheCellsTheBoxesFillMostly) {
    struct Case {
        char const* name;
        std::vector<AABox> boxes;
        size_t cells;
        raylib::Color color;  // of the first cell
    };
    // Unit boxes filling a cube of the given side, the first flowers of
    // them flowers, short of the first missing of the cell at the origin.
    auto const block = [](int side, int flowers, int missing = 0) {
        std::vector<AABox> boxes;
        for (int i = 0; i < side * side * side; ++i) {
            int const x = i % side, y = i / side % side, z = i / side / side;
            if (x < 2 && y < 2 && z < 2 && missing-- > 0) continue;
            boxes.push_back({{x + 0.5f, y + 0.5f, z + 0.5f}, {1, 1, 1}, i < flowers ? FLOWER : GRASS});
        }
        return boxes;
    };
    std::vector<AABox> withGlass = block(4, 0, 3);
    withGlass.push_back({{0, 0, 0}, {1, 1, 1}, {189, 0, 54, 200}});
    Case const cases[] = {
        {"a block of eight", block(2, 0), 1, GRASS},
        {"five of eight in another colour", block(2, 5), 1, FLOWER},
        {"five eighths of a cell filled, and glass", withGlass, 8, GRASS},
        {"three eighths of a cell filled", block(4, 0, 5), 7, GRASS},
        // A cell would stand for eight times the box.
        {"one box alone", {{{0.5f, 0.5f, 0.5f}, {1, 1, 1}, GRASS}}, 0, {}},
        {"two blocks apart",
         {{{1, 1, 1}, {2, 2, 2}, GRASS}, {{5, 1, 1}, {2, 2, 2}, FLOWER}, {{3.5f, 0.5f, 0.5f}, {1, 1, 1}, GRASS}},
         2,
         GRASS},
    };
    for (Case const& c : cases) {
        auto const boxes = pointers(c.boxes);
        std::vector<AABox> const cells = coarseBoxes(boxes, 2);
        ASSERT_EQ(cells.size(), c.cells) << c.name;
        if (cells.empty()) continue;
        EXPECT_EQ(packedColor(cells.front().color), packedColor(c.color)) << c.name;
        EXPECT_FLOAT_EQ(cells.front().aabb.size.y, 2) << c.name;
        EXPECT_FLOAT_EQ(cells.front().position.y, 1) << c.name;
        EXPECT_FLOAT_EQ(cells.back().position.x, c.cells == 2 ? 5.0f : c.cells == 1 ? 1.0f : 3.0f) << c.name;
    }
    // The cells' side: twice the smallest box, or a 64th of the extent.
    std::vector<AABox> const small{{{0, 0, 0}, {0.5f, 1, 1}, GRASS}, {{3, 0, 0}, {1, 1, 1}, GRASS}};
    std::vector<AABox> const long_{{{0, 0, 0}, {0.5f, 1, 1}, GRASS}, {{60, 0, 0}, {128, 1, 1}, GRASS}};
    std::vector<AABox> const none{{{0, 0, 0}, {1, 1, 1}, {0, 0, 0, 100}}};
    EXPECT_FLOAT_EQ(coarseCellSide(pointers(small)), 1);
    EXPECT_FLOAT_EQ(coarseCellSide(pointers(long_)), 2);
    EXPECT_EQ(coarseCellSide(pointers(none)), 0);
}

}  // namespace
