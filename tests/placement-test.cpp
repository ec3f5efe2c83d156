// Voxel clouds on their grid, and cubes placed clear of everything.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <stdexcept>

#include "intersector-naive-impl.h"
#include "log-capture.h"
#include "test-entities.h"
#include "voxel-builders.h"
#include "world.h"

namespace {

using Entities = std::vector<std::shared_ptr<Entity>>;

class PlacementTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { world = new World(std::make_shared<Player>(), {.graphics = false}); }
    static void TearDownTestSuite() { delete world; }
    void SetUp() override {
        world->intersector = std::make_shared<IntersectorNaiveImpl>();
        seed(31998);
    }
    static void seed(unsigned value) {
        raylib::SetRandomSeed(value);
        srand(value);
    }
    // The centres and blue channels of a cloud's voxels, in cell order.
    static std::vector<std::tuple<float, float, float, int>> cloud(raylib::Vector3 extent, float density,
                                                                   AABB keepClear = AABB({0, 99, 0}, {1, 1, 1})) {
        std::vector<std::tuple<float, float, float, int>> voxels;
        for (auto const& entity : world->generateValidVoxels(keepClear, {10, 20, 30}, extent, {1, 1, 1}, density, allColors)) {
            auto const& voxel = static_cast<AABox const&>(*entity);
            EXPECT_VECTOR_EQ(voxel.aabb.size, 1, 1, 1);
            voxels.emplace_back(voxel.position.x, voxel.position.y, voxel.position.z, voxel.color.b);
        }
        return voxels;
    }

    static inline World* world = nullptr;
};

TEST_F(PlacementTest, CloudCellsAreDrawnByRaylibsGeneratorZFastest) {
    raylib::SetRandomSeed(5);
    int* cells = raylib::LoadRandomSequence(16, 0, 15);
    std::vector<std::tuple<float, float, float, int>> expected;
    srand(5);
    for (int i = 0; i < 16; ++i) {
        int const k = cells[i];
        expected.emplace_back(10 + (k / 4 - 2.0f), 20 + ((k / 2) % 2 - 1.0f), 30 + (k % 2 - 1.0f),
                              allColors[generateRandom<int>(0, 4)].b);
    }
    raylib::UnloadRandomSequence(cells);
    for (float const density : {1.0f, 2.0f}) {  // above 1 counts as 1
        seed(5);
        EXPECT_EQ(cloud({4, 2, 2}, density), expected);
    }
    auto const half = cloud({4, 2, 2}, 0.5f);
    EXPECT_EQ(std::set(half.begin(), half.end()).size(), 8u);
    EXPECT_EQ(cloud({100, 100, 100}, 0.1f).size(), 100000u);

    // A body over the column x = 9, z = 30 leaves those two cells out; the
    // others keep their colours.
    seed(5);
    auto const kept = cloud({4, 2, 2}, 1.0f, cornerBox({8.8f, 19.2f, 29.8f}, {9.2f, 19.9f, 30.2f}));
    std::erase_if(expected, [](auto const& voxel) { return std::get<0>(voxel) == 9 && std::get<2>(voxel) == 30; });
    EXPECT_EQ(kept, expected);
}

TEST_F(PlacementTest, RefusedCloudsSayWhy) {
    std::tuple<raylib::Vector3, float, char const*> const cases[] = {
        {{100, 100, 100}, 0.2f, "200000"}, {{0.5f, 2, 2}, 1.0f, "0"}, {{4, 2, 2}, 0.0f, "0"},
        {{4, 2, 2}, std::nanf(""), "nan"}, {{1e30f, 1e30f, 1e30f}, 1.0f, "inf"},
    };
    for (auto const& [extent, density, count] : cases) {
        LogCapture log;
        std::string const expected = std::string("Voxel cloud refused: ") + count +
                                     " voxels asked for, but a cloud holds 1 to 100000 voxels";
        EXPECT_THROW(cloud(extent, density), std::runtime_error);
        EXPECT_EQ(log.text(), expected + "\n");
    }
}

TEST_F(PlacementTest, CubesAvoidTheExclusionBoxAndEveryEntity) {
    // The whole region excluded: 50 candidates of 6 draws each, then a refusal.
    srand(9);
    for (int i = 0; i < 300; ++i) rand();
    int const after300 = rand();
    srand(9);
    AABB const everything = cornerBox({-100, -100, -100}, {100, 100, 100});
    try {
        world->generateValidCube(everything, {0, 0, 0}, {10, 10, 10}, {1, 1, 1}, allColors);
        ADD_FAILURE() << "a cube was placed";
    } catch (std::runtime_error const& e) {
        EXPECT_STREQ(e.what(), "Could not place block.");
    }
    EXPECT_EQ(rand(), after300);

    // A box starting exactly at the first candidate's right face rejects it;
    // a registered entity rejects every candidate it touches.
    srand(4);
    auto const first = buildRandomCube({0, 0, 0}, {10, 10, 10}, {1, 1, 1});
    world->intersector->addEntity(fixedBox({-100, -100, -100}, {1, 100, 100}));
    AABB const touching = cornerBox({first->aabb.max.x, -100, -100}, {100, 100, 100});
    srand(4);
    auto const cube = world->generateValidCube(touching, {0, 0, 0}, {10, 10, 10}, {1, 1, 1}, ColorScheme{colorRed});
    EXPECT_GT(cube->aabb.min.x, 1.0f);
    EXPECT_LT(cube->aabb.max.x, touching.min.x);
    EXPECT_EQ(cube->color.b, colorRed.b);
}

}  // namespace
