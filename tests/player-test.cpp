#include <gtest/gtest.h>

#include <cmath>

#include "aabox.h"
#include "intersector-naive-impl.h"
#include "player.h"
#include "test-entities.h"

namespace {

using Index = std::shared_ptr<Intersector>;

Index emptyIndex() {
    return std::make_shared<IntersectorNaiveImpl>();
}

// A wide floor whose top is at the given height.
std::shared_ptr<Entity> floorWithTop(float top) {
    return fixedBox({-50, top - 1.0f, -50}, {50, top, 50});
}

void stayPut(Player& player, Index const& index) {
    player.move(player.position, index);
}

// Lets the player fall until a move starts standing.
void settle(Player& player, Index const& index) {
    for (int i = 0; i < 1000; ++i) {
        stayPut(player, index);
        if (index->findIntersection(player.feetAABB)) return;
    }
}

TEST(Player, StartsWithItsBoxesUnderTheEyes) {
    Player const player;
    EXPECT_VECTOR_EQ(player.position, 0.0f, 2.2f, 4.0f);
    EXPECT_EQ(player.aabb.min.y, 0.600000083f);
    EXPECT_EQ(player.aabb.max.y, 2.2f);
    EXPECT_VECTOR_EQ(player.aabb.min, -0.2f, 0.600000083f, 3.8f);
    EXPECT_VECTOR_EQ(player.aabb.max, 0.2f, 2.2f, 4.2f);
    EXPECT_EQ(player.feetAABB.min.y, 0.590000093f);
    EXPECT_EQ(player.feetAABB.max.y, player.aabb.min.y);
    EXPECT_EQ(&player.getAABB(), &player.aabb);
}

TEST(Player, FallsFasterEveryMove) {
    Player player;
    auto const index = emptyIndex();
    float const expectedDrops[] = {0.0f, 0.0163333341f, 0.0326666683f, 0.049000002f};
    for (float const drop : expectedDrops) {
        EXPECT_EQ(player.fallSpeed, drop);
        float const before = player.position.y;
        stayPut(player, index);
        EXPECT_NEAR(before - player.position.y, drop, 2e-7f);
    }
    EXPECT_EQ(player.fallSpeed, static_cast<float>(0.049000002f + Player::GRAVITY_STEP));
}

TEST(Player, LandsOnTopAtZeroAndThenStands) {
    Player player;
    auto const index = emptyIndex();
    index->addEntity(floorWithTop(0.0f));
    settle(player, index);
    EXPECT_EQ(player.position.y, 1.61f);
    EXPECT_LT(player.feetAABB.min.y, 0.0f);
    EXPECT_GT(player.feetAABB.min.y, -1e-8f);
    stayPut(player, index);
    EXPECT_EQ(player.fallSpeed, 0.0f);
    EXPECT_EQ(player.position.y, 1.61f);
}

TEST(Player, ProbeAHairAboveTheTopLandsAgainAtTheSameHeight) {
    Player player;
    auto const index = emptyIndex();
    index->addEntity(floorWithTop(0.3f));
    for (int i = 0; i < 200; ++i) stayPut(player, index);
    float const landed = player.position.y;
    EXPECT_NEAR(landed, 1.91f, 1e-6f);
    // The probe ends 1.2e-7 above the top, so the next move is airborne.
    EXPECT_NEAR(player.feetAABB.min.y - 0.3f, 1.2e-7f, 2e-8f);
    EXPECT_EQ(index->findIntersection(player.feetAABB), nullptr);
    stayPut(player, index);
    EXPECT_EQ(player.position.y, landed);
}

TEST(Player, StaysOnEveryTopIndefinitely) {
    // Before landing reset the fall speed, a player on such a top fell
    // through after a few hundred frames.
    for (int step = 0; step <= 100; ++step) {
        float const top = -2.0f + 0.05f * step;
        Player player;
        player.position.y = top + 3.0f;
        player.move(player.position, emptyIndex());  // rebuild boxes at the new height
        player.fallSpeed = 0.0f;
        auto const index = emptyIndex();
        index->addEntity(floorWithTop(top));
        for (int i = 0; i < 300; ++i) stayPut(player, index);
        float const landed = player.position.y;
        ASSERT_NEAR(landed, top + 1.61f, 1e-5f) << "top " << top;
        for (int i = 0; i < 3000; ++i) {
            stayPut(player, index);
            ASSERT_EQ(player.position.y, landed) << "top " << top << " move " << i;
        }
        EXPECT_LT(player.fallSpeed, 0.02f) << "top " << top;
    }
}

TEST(Player, LandsOnTheFirstRegisteredEntityUnderTheFallBox) {
    Player player;
    player.fallSpeed = 1.0f;
    auto const index = emptyIndex();
    index->addEntity(fixedBox({-1, -1, 3}, {1, -0.5f, 5}));  // lower, registered first
    index->addEntity(fixedBox({-1, -0.2f, 3}, {1, 0.3f, 5}));
    stayPut(player, index);
    EXPECT_NEAR(player.position.y, -0.5f + 1.61f, 1e-6f);
}

TEST(Player, WallTallerThanAStepRefusesTheMove) {
    Player player;
    auto const index = emptyIndex();
    index->addEntity(floorWithTop(0.0f));
    index->addEntity(fixedBox({1, 0, -50}, {2, 3, 50}));
    settle(player, index);
    Player const before = player;
    for (raylib::Vector3 const target : {raylib::Vector3{1.5f, 1.61f, 4}, raylib::Vector3{1.5f, 1.61f, 5}}) {
        player.move(target, index);
        EXPECT_VECTOR_EQ(player.position, before.position.x, before.position.y, before.position.z);
        EXPECT_EQ(player.fallSpeed, before.fallSpeed);
    }
}

TEST(Player, ClimbsALowStepInOneMove) {
    Player player;
    auto const index = emptyIndex();
    index->addEntity(floorWithTop(0.0f));
    settle(player, index);
    index->addEntity(fixedBox({1, -1, -50}, {3, 0.3f, 50}));
    player.move({1.5f, player.position.y, 4}, index);
    EXPECT_NEAR(player.position.y, 1.61f + 0.31f, 1e-6f);
    settle(player, index);
    EXPECT_NEAR(player.position.y, 0.3f + 1.61f, 1e-6f);
}

TEST(Player, StepExactlyAsHighAsTheLiftBlocks) {
    auto const index = emptyIndex();
    Player start;
    index->addEntity(floorWithTop(0.0f));
    settle(start, index);
    raylib::Vector3 const target{1.5f, start.position.y, 4};
    // The lifted body's bottom, computed as the move computes it.
    float const center = static_cast<float>(static_cast<double>(target.y) - static_cast<double>(1.6f) * 0.5);
    float const liftedBottom = AABB({0, center + 0.31f, 0}, start.size).min.y;

    auto blocked = emptyIndex();
    blocked->addEntity(floorWithTop(0.0f));
    blocked->addEntity(fixedBox({1, -1, -50}, {3, liftedBottom, 50}));
    Player player = start;
    player.move(target, blocked);
    EXPECT_EQ(player.position.x, start.position.x);

    auto climbable = emptyIndex();
    climbable->addEntity(floorWithTop(0.0f));
    climbable->addEntity(fixedBox({1, -1, -50}, {3, std::nextafter(liftedBottom, -1.0f), 50}));
    player = start;
    player.move(target, climbable);
    EXPECT_EQ(player.position.x, 1.5f);
}

TEST(Player, AirbornePlayerAskingForABlockedPlaceStaysInTheAir) {
    Player player;
    auto const index = emptyIndex();
    index->addEntity(fixedBox({1, -10, -50}, {2, 10, 50}));
    stayPut(player, index);
    stayPut(player, index);
    Player const before = player;
    for (int i = 0; i < 10; ++i) player.move({1.5f, player.position.y, 4}, index);
    EXPECT_EQ(player.position.y, before.position.y);
    EXPECT_EQ(player.fallSpeed, before.fallSpeed);
}

TEST(Player, LongMovePassesThroughWhatLiesBetween) {
    Player player;
    auto const index = emptyIndex();
    index->addEntity(floorWithTop(0.0f));
    index->addEntity(fixedBox({1, 0, -50}, {2, 3, 50}));
    settle(player, index);
    player.move({5, player.position.y, 4}, index);
    EXPECT_EQ(player.position.x, 5.0f);
}

TEST(Player, ResetIntoABlockedStartIsRefused) {
    Player player;
    auto const index = emptyIndex();
    index->addEntity(floorWithTop(0.0f));
    settle(player, index);
    player.move({10, player.position.y, 10}, index);
    index->addEntity(fixedBox({-1, 0, 3}, {1, 5, 5}));
    player.move({0.0f, 2.2f, 4.0f}, index);
    EXPECT_EQ(player.position.x, 10.0f);
    EXPECT_EQ(player.position.z, 10.0f);
}

}  // namespace
