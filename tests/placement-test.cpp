// The builders of boxes and the world's placement of random ones.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

#include "log-capture.h"
#include "test-entities.h"
#include "voxel-builders.h"
#include "world.h"

namespace {

AABox const& boxOf(std::shared_ptr<Entity> const& entity) {
    return static_cast<AABox const&>(*entity);
}

TEST(BuildMountain, SlabsShrinkUntilTooNarrowOrTooHigh) {
    struct Case {
        raylib::Vector3 position, size;
        size_t slabs;
        float firstY;
    };
    Case const cases[] = {
        {{0, 1, 0}, {2, 2, 2}, 8, 0},        {{0, 0, 0}, {1, 4, 3}, 4, -2},  // the second ended by its width
        {{0, 0, 0}, {0.27f, 10, 5}, 1, -5},  {{0, 0, 0}, {5, 10, 0.27f}, 1, -5},
        {{0, 0, 0}, {0.275f, 10, 5}, 2, -5},  // 0.275f - 0.25f lands just above 0.025
        {{0, 3, 0}, {2, 2, 2}, 0, 0},         // the first centre, 2, is not below size.y
        {{5, 0.5f, 5}, {3, 0.3f, 3}, 0, 0},   // 0.35 is not below 0.3
    };
    for (auto const& c : cases) {
        auto const slabs = buildMountain(c.position, c.size);
        ASSERT_EQ(slabs.size(), c.slabs) << "size " << c.size.x << " x " << c.size.y << " x " << c.size.z;
        float y = c.firstY;
        for (size_t i = 0; i < slabs.size(); ++i, y = y + 0.1f) {
            EXPECT_VECTOR_EQ(boxOf(slabs[i]).position, c.position.x, y, c.position.z);
            EXPECT_EQ(boxOf(slabs[i]).position.y, y);  // accumulated in float
            EXPECT_VECTOR_EQ(slabs[i]->getAABB().size, c.size.x - 0.25f * i, 0.1f, c.size.z - 0.25f * i);
        }
    }
}

// A voxel takes the colour its one draw picks, also from a one-entry scheme;
// the house is that one voxel.
TEST(BuildVoxel, OneDrawPicksTheColour) {
    srand(42);
    int const first = rand(), second = rand();
    srand(42);
    EXPECT_EQ(boxOf(generateVoxelHouse({1, 2, 3}, {2, 2, 2}, {5, 5, 5}, allColors)[0]).color.b,
              allColors[randomFromDraw(first, 0, 4)].b);
    EXPECT_EQ(buildVoxel({0, 0, 0}, {1, 1, 1}, ColorScheme{{9, 8, 7, 255}})->color.r, 9);
    EXPECT_NE(rand(), second);
}

class PlacementTest : public ::testing::Test {
protected:
    void SetUp() override {
        raylib::SetRandomSeed(5);
        srand(5);
    }
    // The centres and blue channels of a cloud's voxels, in cell order.
    std::vector<std::tuple<float, float, float, int>> cloud(raylib::Vector3 extent, float density,
                                                            AABB keepClear = AABB({0, 99, 0}, {1, 1, 1})) {
        std::vector<std::tuple<float, float, float, int>> voxels;
        for (auto const& entity :
             world.generateValidVoxels(keepClear, {10, 20, 30}, extent, {1, 1, 1}, density, allColors)) {
            EXPECT_VECTOR_EQ(entity->getAABB().size, 1, 1, 1);
            raylib::Vector3 const p = boxOf(entity).position;
            voxels.emplace_back(p.x, p.y, p.z, boxOf(entity).color.b);
        }
        return voxels;
    }

    World world{std::make_shared<Player>()};
};

TEST_F(PlacementTest, CloudCellsAreRaylibsRandomSequenceZFastest) {
    int* cells = raylib::LoadRandomSequence(16, 0, 15);
    std::vector<std::tuple<float, float, float, int>> expected;
    for (int i = 0; i < 16; ++i) {
        int const k = cells[i];
        expected.emplace_back(10 + (k / 4 - 2.0f), 20 + ((k / 2) % 2 - 1.0f), 30 + (k % 2 - 1.0f),
                              allColors[generateRandom<int>(0, 4)].b);
    }
    raylib::UnloadRandomSequence(cells);
    // Above 1 the density counts as 1; raylib's own draw gives the same cells.
    for (auto const& [density, fast] : {std::pair{1.0f, true}, {2.0f, true}, {1.0f, false}}) {
        SetUp();
        world.options.fastCellDraw = fast;
        EXPECT_EQ(cloud({4, 2, 2}, density), expected);
    }
    world.options.fastCellDraw = true;
    // A body over the column x = 9, z = 30 leaves those two cells out; the
    // others keep their colours.
    SetUp();
    auto const kept = cloud({4, 2, 2}, 1.0f, cornerBox({8.8f, 19.2f, 29.8f}, {9.2f, 19.9f, 30.2f}));
    std::erase_if(expected, [](auto const& voxel) { return std::get<0>(voxel) == 9 && std::get<2>(voxel) == 30; });
    EXPECT_EQ(kept, expected);
    EXPECT_EQ(cloud({100, 100, 100}, 0.1f).size(), 100000u);
    EXPECT_EQ(cloud({1, 1, 1}, 1.0f).size(), 1u);
}

TEST_F(PlacementTest, RefusedCloudsSayWhy) {
    std::tuple<raylib::Vector3, float, char const*> const cases[] = {
        {{100, 100, 100}, 0.2f, "200000"}, {{400, 400, 400}, 1, "64000000"},  {{0.5f, 2, 2}, 1.0f, "0"},
        {{4, 2, 2}, 0.05f, "0"},           {{4, 2, 2}, std::nanf(""), "nan"}, {{1e30f, 1e30f, 1e30f}, 1.0f, "inf"},
    };
    for (auto const& [extent, density, count] : cases) {
        LogCapture log;
        EXPECT_THROW(cloud(extent, density), std::runtime_error);
        EXPECT_EQ(log.text(), std::string("Voxel cloud refused: ") + count +
                                  " voxels asked for, but a cloud holds 1 to 100000 voxels\n");
    }
}

TEST_F(PlacementTest, CubesAvoidTheExclusionBoxAndEveryEntity) {
    // The whole region excluded: 50 candidates of 6 draws each, then a refusal.
    srand(9);
    for (int i = 0; i < 300; ++i) rand();
    int const after300 = rand();
    srand(9);
    EXPECT_THAT(
        [&] {
            world.generateValidCube(cornerBox({-9, -9, -9}, {99, 99, 99}), {0, 0, 0}, {10, 10, 10}, {1, 1, 1},
                                    allColors);
        },
        testing::ThrowsMessage<std::runtime_error>(testing::StrEq("Could not place block.")));
    EXPECT_EQ(rand(), after300);

    // A box starting exactly at the first candidate's right face rejects it;
    // a registered entity rejects every candidate it touches.
    srand(4);
    auto const first = buildRandomCube({0, 0, 0}, {10, 10, 10}, {1, 1, 1});
    world.intersector->addEntity(fixedBox({-100, -100, -100}, {1, 100, 100}));
    AABB const touching = cornerBox({first->aabb.max.x, -100, -100}, {100, 100, 100});
    srand(4);
    auto const cube = world.generateValidCube(touching, {0, 0, 0}, {10, 10, 10}, {1, 1, 1}, ColorScheme{colorRed});
    EXPECT_GT(cube->aabb.min.x, 1.0f);
    EXPECT_LT(cube->aabb.max.x, touching.min.x);
    EXPECT_EQ(cube->color.b, colorRed.b);

    // Each side of a random cube is nine tenths to all of its largest.
    for (int i = 0; i < 20; ++i) {
        raylib::Vector3 const size = buildRandomCube({0, 0, 0}, {50, 50, 50}, {2, 4, 8})->aabb.size;
        EXPECT_TRUE(size.x >= 1.8f && size.x <= 2 && size.y >= 3.6f && size.y <= 4 && size.z >= 7.2f && size.z <= 8)
            << size.x << " x " << size.y << " x " << size.z;
    }
}

}  // namespace
