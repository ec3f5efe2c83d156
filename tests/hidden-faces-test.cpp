// Which faces of baked boxes can be seen.
#include <gtest/gtest.h>

#include <cmath>

#include "hidden-faces.h"

namespace {

constexpr raylib::Color OPAQUE{1, 2, 3, 255};

// The masks of visible faces of the given boxes (centre, size, colour).
std::vector<int> masksOf(std::vector<AABox> const& boxes) {
    std::vector<AABox const*> pointers;
    for (AABox const& box : boxes) pointers.push_back(&box);
    auto const masks = visibleFaces(pointers);
    return std::vector<int>(masks.begin(), masks.end());
}

TEST(VisibleFaces, FacesAgainstAnotherOpaqueBoxAreHidden) {
    int const all = 0x3F;
    int const x = 1 << FACE_POS_X, negX = 1 << FACE_NEG_X, y = 1 << FACE_POS_Y, negY = 1 << FACE_NEG_Y;
    // Neighbours along x whose planes are a float step apart, as a cloud's
    // are, near the origin and far from it, where a step is wider.
    for (float const origin : {0.0f, 1000.0f}) {
        float const step = std::nextafter(origin + 0.025f, 2000.0f);
        EXPECT_EQ(masksOf({{{origin, 0, 0}, {0.025f, 0.025f, 0.025f}, OPAQUE},
                           {{step, 0, 0}, {0.025f, 0.025f, 0.025f}, OPAQUE}}),
                  (std::vector<int>{all & ~x, all & ~negX}))
            << origin;
    }
    // A slab on a wider one: the upper slab's bottom is covered, the lower's top is not.
    EXPECT_EQ(masksOf({{{0, 0, 0}, {2, 0.1f, 2}, OPAQUE}, {{0, 0.1f, 0}, {1.75f, 0.1f, 1.75f}, OPAQUE}}),
              (std::vector<int>{all, all & ~negY}));
    std::pair<char const*, AABox> const keepAll[] = {
        {"a translucent neighbour", {{1, 0, 0}, {1, 1, 1}, {1, 2, 3, 254}}},
        {"an inverted neighbour", {{1, 0, 0}, {-1, 1, 1}, OPAQUE}},
        {"a gap", {{1.001f, 0, 0}, {1, 1, 1}, OPAQUE}},
        {"a neighbour shifted half a side", {{1, 0.5f, 0}, {1, 1, 1}, OPAQUE}},
    };
    for (auto const& [name, other] : keepAll) {
        auto const masks = masksOf({{{0, 0, 0}, {1, 1, 1}, OPAQUE}, other});
        EXPECT_EQ(masks[0], all) << name;
    }
    EXPECT_EQ(masksOf({{{0, 0, 0}, {1, 1, 1}, OPAQUE}, {{0, 1, 0}, {1, 1, 1}, OPAQUE}})[0], all & ~y);
    // A box on a wider one, flush with one or two of its edges: its bottom is covered.
    for (raylib::Vector3 const on : {raylib::Vector3{0.5f, 1, 0}, {-0.5f, 1, 0.5f}, {0, 1, -0.5f}}) {
        EXPECT_EQ(masksOf({{{0, 0, 0}, {2, 1, 2}, OPAQUE}, {on, {1, 1, 1}, OPAQUE}})[1], all & ~negY)
            << on.x << ", " << on.z;
    }
}

}  // namespace
