// The builders of boxes: mountains, coloured voxels and random cubes.
#include <gtest/gtest.h>

#include <cstdlib>

#include "test-entities.h"
#include "voxel-builders.h"

namespace {

TEST(BuildMountain, SlabsShrinkUntilTooNarrowOrTooHigh) {
    struct Case { raylib::Vector3 position, size; size_t slabs; float firstY, width, depth; };
    Case const cases[] = {
        {{0, 1, 0}, {2, 2, 2}, 8, 0, 2, 2},
        {{0, 0, 0}, {1, 4, 3}, 4, -2, 1, 3},      // ended by the width
        {{0, 0, 0}, {0.27f, 10, 5}, 1, -5, 0.27f, 5},
        {{0, 0, 0}, {5, 10, 0.27f}, 1, -5, 5, 0.27f},
        {{0, 0, 0}, {0.275f, 10, 5}, 2, -5, 0.275f, 5},  // 0.275f - 0.25f lands just above 0.025
        {{0, 3, 0}, {2, 2, 2}, 0, 0, 0, 0},        // the first centre, 2, is not below size.y
        {{5, 0.5f, 5}, {3, 0.3f, 3}, 0, 0, 0, 0},  // 0.35 is not below 0.3
    };
    for (auto const& c : cases) {
        auto const slabs = buildMountain(c.position, c.size);
        ASSERT_EQ(slabs.size(), c.slabs) << "size " << c.size.x << " x " << c.size.y << " x " << c.size.z;
        float y = c.firstY;
        for (size_t i = 0; i < slabs.size(); ++i) {
            auto const slab = std::static_pointer_cast<AABox>(slabs[i]);
            EXPECT_EQ(slab->position.y, y) << "slab " << i;  // accumulated in float
            EXPECT_VECTOR_EQ(slab->aabb.size, c.width - 0.25f * i, 0.1f, c.depth - 0.25f * i);
            EXPECT_EQ(slab->position.x, c.position.x);
            EXPECT_EQ(slab->position.z, c.position.z);
            EXPECT_EQ(slab->color.r, 255);
            EXPECT_EQ(slab->color.g, 161);
            EXPECT_EQ(slab->color.b, 0);
            y = y + 0.1f;
        }
    }
}

TEST(BuildVoxel, PicksTheDrawnEntryWithOneDraw) {
    srand(11);
    int const k = rand();
    int const next = rand();
    srand(11);
    auto const voxel = buildVoxel({1, 2, 3}, {2, 2, 2}, allColors);
    EXPECT_EQ(voxel->color.b, allColors[randomFromDraw(k, 0, 4)].b);
    EXPECT_VECTOR_EQ(voxel->aabb.min, 0, 1, 2);
    // A one-entry scheme still draws once; the house is that one voxel.
    EXPECT_EQ(buildVoxel({0, 0, 0}, {1, 1, 1}, ColorScheme{{9, 8, 7, 255}})->color.r, 9);
    srand(11);
    rand();
    auto const house = generateVoxelHouse({1, 2, 3}, {2, 2, 2}, {5, 5, 5}, allColors);
    ASSERT_EQ(house.size(), 1u);
    EXPECT_EQ(std::static_pointer_cast<AABox>(house[0])->color.b, allColors[randomFromDraw(next, 0, 4)].b);
    EXPECT_VECTOR_EQ(house[0]->getAABB().min, 0, 1, 2);
}

TEST(BuildRandomCube, DrawsSizesFirstThenCentres) {
    raylib::Vector3 const regionMin{-1, 2, 3}, regionMax{9, 12, 13}, maxSize{1, 2, 3};
    srand(42);
    int k[6];
    for (int& draw : k) draw = rand();
    srand(42);
    auto const cube = buildRandomCube(regionMin, regionMax, maxSize);

    raylib::Vector3 const size{randomFromDraw(k[0], 0.9f * maxSize.x, maxSize.x),
                               randomFromDraw(k[1], 0.9f * maxSize.y, maxSize.y),
                               randomFromDraw(k[2], 0.9f * maxSize.z, maxSize.z)};
    EXPECT_VECTOR_EQ(cube->aabb.size, size.x, size.y, size.z);
    EXPECT_EQ(cube->position.x, randomFromDraw(k[3], regionMin.x, regionMax.x - size.x));
    EXPECT_EQ(cube->position.y, randomFromDraw(k[4], regionMin.y, regionMax.y - size.y));
    EXPECT_EQ(cube->position.z, randomFromDraw(k[5], regionMin.z, regionMax.z - size.z));
    EXPECT_EQ(cube->color.r, 0);
    EXPECT_EQ(cube->color.a, 255);
}

}  // namespace
