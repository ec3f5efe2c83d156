// The demo scene the game ships with.
#include <gtest/gtest.h>

#include "aabox.h"
#include "game.h"
#include "log-capture.h"
#include "scene-loader.h"

namespace {

std::shared_ptr<World> loadDemo() {
    LogCapture quiet;
    initRandomToken();
    return loadScene(SCENE_PATH, std::make_shared<Player>());
}

TEST(DemoScene, LoadsEveryKindOfEntry) {
    auto const world = loadDemo();
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(world->intersector->size(), 1413);
    auto const player = world->player;
    // The start position stands clear above the ground.
    EXPECT_TRUE(world->intersector->isEmpty(player->getAABB()));
    AABB const below({0, -5, 4}, {0.1f, 10, 0.1f});
    EXPECT_FALSE(world->intersector->isEmpty(below));
}

TEST(DemoScene, SameSeedSameWorld) {
    auto const first = loadDemo()->intersector->getEntities();
    auto const second = loadDemo()->intersector->getEntities();
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i) {
        AABB const& a = first[i]->getAABB();
        AABB const& b = second[i]->getAABB();
        ASSERT_EQ(a.min.x, b.min.x) << "entity " << i;
        ASSERT_EQ(a.min.y, b.min.y) << "entity " << i;
        ASSERT_EQ(a.max.z, b.max.z) << "entity " << i;
        auto const boxA = std::dynamic_pointer_cast<AABox>(first[i]);
        auto const boxB = std::dynamic_pointer_cast<AABox>(second[i]);
        ASSERT_EQ(boxA == nullptr, boxB == nullptr);
        if (boxA) {
            ASSERT_EQ(boxA->color.r, boxB->color.r) << "entity " << i;
            ASSERT_EQ(boxA->color.g, boxB->color.g) << "entity " << i;
            ASSERT_EQ(boxA->color.b, boxB->color.b) << "entity " << i;
        }
    }
}

}  // namespace
