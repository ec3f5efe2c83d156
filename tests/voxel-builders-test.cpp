#include <gtest/gtest.h>

#include <cstdlib>

#include "test-entities.h"
#include "voxel-builders.h"

namespace {

struct Slab { float y, width, depth; };

std::vector<Slab> slabsOf(std::vector<std::shared_ptr<Entity>> const& mountain) {
    std::vector<Slab> slabs;
    for (auto const& entity : mountain) {
        auto const& box = std::static_pointer_cast<AABox>(entity);
        slabs.push_back({box->position.y, box->aabb.size.x, box->aabb.size.z});
        EXPECT_FLOAT_EQ(box->aabb.size.y, 0.1f);
        EXPECT_EQ(box->color.r, 255);
        EXPECT_EQ(box->color.g, 161);
        EXPECT_EQ(box->color.b, 0);
    }
    return slabs;
}

TEST(BuildMountain, StepsShrinkUntilTooNarrow) {
    auto const tall = slabsOf(buildMountain({0, 1, 0}, {2, 2, 2}));
    ASSERT_EQ(tall.size(), 8u);
    float y = 0.0f;
    for (size_t i = 0; i < tall.size(); ++i) {
        EXPECT_EQ(tall[i].y, y) << "slab " << i;  // accumulated in float
        EXPECT_FLOAT_EQ(tall[i].width, 2.0f - 0.25f * i);
        EXPECT_FLOAT_EQ(tall[i].depth, 2.0f - 0.25f * i);
        y = y + 0.1f;
    }

    auto const wide = slabsOf(buildMountain({0, 0, 0}, {1, 4, 3}));
    ASSERT_EQ(wide.size(), 4u);
    EXPECT_FLOAT_EQ(wide[0].y, -2.0f);
    for (size_t i = 0; i < wide.size(); ++i) {
        EXPECT_FLOAT_EQ(wide[i].width, 1.0f - 0.25f * i);
        EXPECT_FLOAT_EQ(wide[i].depth, 3.0f - 0.25f * i);
    }
}

TEST(BuildMountain, SlabCountsAtTheEdges) {
    struct Case { raylib::Vector3 position, size; size_t slabs; };
    Case const cases[] = {
        {{0, 0, 0}, {0.27f, 10, 5}, 1},
        {{0, 0, 0}, {5, 10, 0.27f}, 1},
        {{0, 0, 0}, {0.275f, 10, 5}, 2},  // 0.275f - 0.25f lands just above 0.025
        {{0, 3, 0}, {2, 2, 2}, 0},        // first centre 2 is not below size.y
        {{5, 0.5f, 5}, {3, 0.3f, 3}, 0},  // 0.35 is not below 0.3
    };
    for (auto const& c : cases) {
        EXPECT_EQ(buildMountain(c.position, c.size).size(), c.slabs)
            << "size " << c.size.x << " x " << c.size.y << " x " << c.size.z;
    }
}

TEST(BuildVoxel, OneEntrySchemeStillDrawsOnce) {
    srand(7);
    rand();
    int const next = rand();
    srand(7);
    auto const voxel = buildVoxel({1, 2, 3}, {1, 1, 1}, ColorScheme{{9, 8, 7, 255}});
    EXPECT_EQ(voxel->color.r, 9);
    EXPECT_EQ(rand(), next);
}

TEST(BuildVoxel, PicksTheDrawnEntry) {
    srand(11);
    int const k = rand();
    srand(11);
    auto const voxel = buildVoxel({0, 0, 0}, {1, 1, 1}, allColors);
    EXPECT_EQ(voxel->color.b, allColors[randomFromDraw(k, 0, 4)].b);
}

TEST(GenerateVoxelHouse, IsOneVoxelWithTheSameDraw) {
    srand(3);
    auto const voxel = buildVoxel({1, 1, 1}, {2, 2, 2}, allColors);
    srand(3);
    auto const house = generateVoxelHouse({1, 1, 1}, {2, 2, 2}, {5, 5, 5}, allColors);
    ASSERT_EQ(house.size(), 1u);
    auto const box = std::static_pointer_cast<AABox>(house[0]);
    EXPECT_EQ(box->color.r, voxel->color.r);
    EXPECT_EQ(box->color.b, voxel->color.b);
    EXPECT_VECTOR_EQ(box->aabb.min, 0, 0, 0);
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
    EXPECT_EQ(cube->aabb.size.x, size.x);
    EXPECT_EQ(cube->aabb.size.y, size.y);
    EXPECT_EQ(cube->aabb.size.z, size.z);
    EXPECT_EQ(cube->position.x, randomFromDraw(k[3], regionMin.x, regionMax.x - size.x));
    EXPECT_EQ(cube->position.y, randomFromDraw(k[4], regionMin.y, regionMax.y - size.y));
    EXPECT_EQ(cube->position.z, randomFromDraw(k[5], regionMin.z, regionMax.z - size.z));
    EXPECT_EQ(cube->color.r, 0);
    EXPECT_EQ(cube->color.a, 255);
}

TEST(BuildRandomCube, StaysInsideItsRanges) {
    srand(1);
    for (int i = 0; i < 2000; ++i) {
        auto const cube = buildRandomCube({0, 0, 0}, {10, 10, 10}, {1, 1, 1});
        for (float const size : {cube->aabb.size.x, cube->aabb.size.y, cube->aabb.size.z}) {
            EXPECT_GE(size, 0.9f);
            EXPECT_LE(size, 1.0f);
        }
        EXPECT_GE(cube->position.x, 0.0f);
        EXPECT_LE(cube->position.x, 10.0f - cube->aabb.size.x);
    }
}

}  // namespace
