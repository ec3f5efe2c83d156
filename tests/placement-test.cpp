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
    static void SetUpTestSuite() { world = new World(std::make_shared<Player>()); }
    static void TearDownTestSuite() {
        delete world;
        world = nullptr;
    }
    void SetUp() override {
        world->intersector = std::make_shared<IntersectorNaiveImpl>();
        raylib::SetRandomSeed(31998);
        srand(31998);
    }

    Entities cloud(raylib::Vector3 extent, float density, AABB keepClear = farAway()) {
        return world->generateValidVoxels(keepClear, {10, 20, 30}, extent, {1, 1, 1}, density, allColors);
    }
    static AABB farAway() { return AABB({1000, 1000, 1000}, {1, 1, 1}); }

    static inline World* world = nullptr;
};

raylib::Vector3 centreOf(std::shared_ptr<Entity> const& entity) {
    return std::static_pointer_cast<AABox>(entity)->position;
}

size_t distinctCells(Entities const& voxels) {
    std::set<std::tuple<float, float, float>> cells;
    for (auto const& voxel : voxels) {
        raylib::Vector3 const c = centreOf(voxel);
        cells.insert({c.x, c.y, c.z});
    }
    return cells.size();
}

TEST_F(PlacementTest, FullCloudFillsEveryCellOnce) {
    Entities const voxels = cloud({4, 2, 2}, 1.0f);
    ASSERT_EQ(voxels.size(), 16u);
    for (auto const& voxel : voxels) {
        raylib::Vector3 const c = centreOf(voxel);
        EXPECT_TRUE(c.x == 8 || c.x == 9 || c.x == 10 || c.x == 11) << c.x;
        EXPECT_TRUE(c.y == 19 || c.y == 20) << c.y;
        EXPECT_TRUE(c.z == 29 || c.z == 30) << c.z;
        EXPECT_VECTOR_EQ(voxel->getAABB().size, 1, 1, 1);
    }
    EXPECT_EQ(distinctCells(voxels), 16u);
    EXPECT_EQ(cloud({4, 2, 2}, 2.0f).size(), 16u);  // density above 1 counts as 1
}

TEST_F(PlacementTest, HalfDensityTakesDistinctCells) {
    Entities const voxels = cloud({4, 2, 2}, 0.5f);
    ASSERT_EQ(voxels.size(), 8u);
    EXPECT_EQ(distinctCells(voxels), 8u);
}

TEST_F(PlacementTest, CellNumbersMapWithZFastest) {
    // The cells in the order raylib's generator draws them, after the same seed.
    raylib::SetRandomSeed(5);
    int* sequence = raylib::LoadRandomSequence(16, 0, 15);
    std::vector<int> const cellNumbers(sequence, sequence + 16);
    raylib::UnloadRandomSequence(sequence);
    raylib::SetRandomSeed(5);
    Entities const voxels = cloud({4, 2, 2}, 1.0f);
    ASSERT_EQ(voxels.size(), 16u);
    for (size_t i = 0; i < voxels.size(); ++i) {
        int const k = cellNumbers[i];
        raylib::Vector3 const c = centreOf(voxels[i]);
        EXPECT_EQ(c.x, 10 + (k / 4 - 2.0f)) << "cell " << k;
        EXPECT_EQ(c.y, 20 + ((k / 2) % 2 - 1.0f)) << "cell " << k;
        EXPECT_EQ(c.z, 30 + (k % 2 - 1.0f)) << "cell " << k;
        if (k == 5) {
            EXPECT_VECTOR_EQ(c, 9, 19, 30);  // xi 1, yi 0, zi 1
        }
    }
}

TEST_F(PlacementTest, RefusedCloudsSayWhy) {
    struct Case { raylib::Vector3 extent; float density; char const* count; };
    Case const cases[] = {
        {{100, 100, 100}, 0.2f, "200000"},
        {{0.5f, 2, 2}, 1.0f, "0"},
        {{4, 2, 2}, 0.0f, "0"},
        {{4, 2, 2}, std::nanf(""), "nan"},
        {{1e30f, 1e30f, 1e30f}, 1.0f, "inf"},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.count);
        LogCapture log;
        try {
            cloud(c.extent, c.density);
            ADD_FAILURE() << "cloud was not refused";
        } catch (std::runtime_error const& e) {
            std::string const expected = std::string("Voxel cloud refused: ") + c.count +
                                         " voxels asked for, but a cloud holds 1 to 100000 voxels";
            EXPECT_EQ(e.what(), expected);
            EXPECT_EQ(log.text(), expected + "\n");
        }
    }
}

TEST_F(PlacementTest, LargestCloudIsAccepted) {
    EXPECT_EQ(cloud({100, 100, 100}, 0.1f).size(), 100000u);
}

TEST_F(PlacementTest, CellsOverlappingThePlayerAreDroppedOthersKeepTheirDraws) {
    Entities const all = cloud({4, 2, 2}, 1.0f);
    // A body that overlaps exactly the column x = 9, z = 30 (both heights).
    AABB const body = cornerBox({8.8f, 19.2f, 29.8f}, {9.2f, 19.9f, 30.2f});
    raylib::SetRandomSeed(31998);
    srand(31998);
    Entities const kept = cloud({4, 2, 2}, 1.0f, body);
    ASSERT_EQ(kept.size(), 14u);
    size_t next = 0;
    for (auto const& voxel : all) {
        if (overlaps(voxel->getAABB(), body)) continue;
        auto const a = std::static_pointer_cast<AABox>(voxel);
        auto const b = std::static_pointer_cast<AABox>(kept[next++]);
        EXPECT_VECTOR_EQ(b->position, a->position.x, a->position.y, a->position.z);
        EXPECT_EQ(b->color.r, a->color.r);
        EXPECT_EQ(b->color.b, a->color.b);
    }
    for (auto const& voxel : kept) EXPECT_FALSE(overlaps(voxel->getAABB(), body));
}

TEST_F(PlacementTest, CubeInsideTheExclusionBoxIsNeverPlaced) {
    AABB const everything = cornerBox({-100, -100, -100}, {100, 100, 100});
    srand(9);
    for (int i = 0; i < 300; ++i) rand();
    int const after300 = rand();
    srand(9);
    try {
        world->generateValidCube(everything, {0, 0, 0}, {10, 10, 10}, {1, 1, 1}, allColors);
        ADD_FAILURE() << "a cube was placed";
    } catch (std::runtime_error const& e) {
        EXPECT_STREQ(e.what(), "Could not place block.");
    }
    EXPECT_EQ(rand(), after300);
}

TEST_F(PlacementTest, CubeTouchingTheExclusionBoxIsRejected) {
    // The exclusion box starts exactly at the first candidate's right face.
    srand(4);
    auto const first = buildRandomCube({0, 0, 0}, {10, 10, 10}, {1, 1, 1});
    AABB const touching = cornerBox({first->aabb.max.x, -100, -100}, {100, 100, 100});
    srand(4);
    auto const cube = world->generateValidCube(touching, {0, 0, 0}, {10, 10, 10}, {1, 1, 1}, allColors);
    EXPECT_NE(cube->position.x, first->position.x);
    EXPECT_FALSE(overlaps(cube->getAABB(), touching));
}

TEST_F(PlacementTest, CubeAvoidsRegisteredEntitiesAndTakesAColour) {
    world->intersector->addEntity(fixedBox({-100, -100, -100}, {5, 100, 100}));
    srand(12);
    auto const cube = world->generateValidCube(farAway(), {0, 0, 0}, {10, 10, 10}, {1, 1, 1}, ColorScheme{colorRed});
    EXPECT_GT(cube->aabb.min.x, 5.0f);
    EXPECT_EQ(cube->color.r, colorRed.r);
    EXPECT_EQ(cube->color.b, colorRed.b);
}

}  // namespace
