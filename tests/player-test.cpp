// The player's moves against small worlds of boxes.
#include <gtest/gtest.h>

#include <cmath>

#include "intersector-naive-impl.h"
#include "player.h"
#include "test-entities.h"

namespace {

using Index = std::shared_ptr<Intersector>;
using Corners = std::pair<raylib::Vector3, raylib::Vector3>;

Index worldOf(std::vector<Corners> const& boxes) {
    auto index = std::make_shared<IntersectorNaiveImpl>();
    for (auto const& [min, max] : boxes) index->addEntity(fixedBox(min, max));
    return index;
}

// A wide floor whose top is at the given height.
Corners floorAt(float top) {
    return {{-50, top - 1, -50}, {50, top, 50}};
}

// The player after asking to stay where it is, `moves` times.
Player stayed(Player player, Index const& index, int moves = 1) {
    for (int i = 0; i < moves; ++i) player.move(player.position, index);
    return player;
}

Player movedTo(Player player, raylib::Vector3 target, Index const& index) {
    player.move(target, index);
    return player;
}

TEST(Player, FallsFasterEveryMoveAndLandsOnTops) {
    Player player;
    for (float const drop : {0.0f, 0.0163333341f, 0.0326666683f, 0.049000002f}) {
        EXPECT_EQ(player.fallSpeed, drop);
        float const before = player.position.y;
        player = stayed(player, worldOf({}));
        EXPECT_NEAR(before - player.position.y, drop, 2e-7f);
    }
    EXPECT_EQ(player.fallSpeed, static_cast<float>(0.049000002f + Player::GRAVITY_STEP));

    // On a top at 0 the probe reaches just below it, so the next move stands
    // and stops the fall.
    Index const atZero = worldOf({floorAt(0)});
    Player const landed = stayed(Player(), atZero, 200);
    EXPECT_EQ(landed.position.y, 1.61f);
    EXPECT_LT(landed.feetAABB.min.y, 0.0f);
    EXPECT_GT(landed.feetAABB.min.y, -1e-8f);
    Player running = landed;
    running.fallSpeed = 0.5f;
    EXPECT_EQ(stayed(running, atZero).fallSpeed, 0.0f);
}

TEST(Player, StaysOnEveryTopIndefinitely) {
    // Before landing reset the fall speed, a player on such a top fell
    // through after a few hundred frames.
    for (int step = 0; step <= 100; ++step) {
        float const top = -2.0f + 0.05f * step;
        Player player = movedTo(Player(), {0, top + 3, 4}, worldOf({}));
        player.fallSpeed = 0.0f;
        Index const index = worldOf({floorAt(top)});
        player = stayed(player, index, 300);
        float const landed = player.position.y;
        ASSERT_NEAR(landed, top + 1.61f, 1e-5f) << "top " << top;
        for (int i = 0; i < 3000; ++i) {
            player.move(player.position, index);
            ASSERT_EQ(player.position.y, landed) << "top " << top << " move " << i;
        }
        EXPECT_LT(player.fallSpeed, 0.02f) << "top " << top;
    }
}

TEST(Player, LandsOnTheFirstRegisteredEntityUnderTheFallBox) {
    Player player;
    player.fallSpeed = 1.0f;
    player = stayed(player, worldOf({{{-1, -1, 3}, {1, -0.5f, 5}}, {{-1, -0.2f, 3}, {1, 0.3f, 5}}}));
    EXPECT_NEAR(player.position.y, -0.5f + 1.61f, 1e-6f);
}

TEST(Player, ClimbsInOneMoveWhatTheLiftedBodyClears) {
    Player const start = stayed(Player(), worldOf({floorAt(0)}), 200);
    // The lifted body's bottom: a top exactly there touches it and blocks.
    float const liftedBottom = AABB({0, static_cast<float>(1.61f - 1.6f * 0.5) + 0.31f, 0}, start.size).min.y;
    for (float const top : {liftedBottom, std::nextafter(liftedBottom, -1.0f)}) {
        Player const moved = movedTo(start, {1.5f, 1.61f, 4}, worldOf({floorAt(0), {{1, -1, -50}, {3, top, 50}}}));
        EXPECT_EQ(moved.position.x, top == liftedBottom ? 0.0f : 1.5f);
    }
    // It rises by the whole lift, then falls onto the step.
    Index const stepped = worldOf({floorAt(0), {{1, -1, -50}, {3, 0.3f, 50}}});
    Player const climbed = movedTo(start, {1.5f, 1.61f, 4}, stepped);
    EXPECT_NEAR(climbed.position.y, 1.61f + 0.31f, 1e-6f);
    EXPECT_NEAR(stayed(climbed, stepped, 100).position.y, 0.3f + 1.61f, 1e-6f);
}

TEST(Player, ARefusedMoveChangesNothing) {
    // Airborne and asking for a blocked place, the player stays in the air.
    Index const wall = worldOf({{{1, -10, -50}, {2, 10, 50}}});
    Player const airborne = stayed(Player(), wall, 2);
    Player const asked = movedTo(airborne, {1.5f, airborne.position.y, 4}, wall);
    EXPECT_EQ(asked.position.y, airborne.position.y);
    EXPECT_EQ(asked.fallSpeed, airborne.fallSpeed);
}

}  // namespace
