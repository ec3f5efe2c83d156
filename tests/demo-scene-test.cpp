// The demo scene the game ships with: what it builds, the same on every run.
#include <gtest/gtest.h>

#include <cstring>

#include "aabox.h"
#include "game.h"
#include "log-capture.h"
#include "scene-loader.h"

namespace {

// FNV-1a over every entity's box and, for boxes, colour.
uint64_t digestOf(Intersector const& index) {
    uint64_t hash = 14695981039346656037u;
    auto const mix = [&](void const* data, size_t size) {
        for (size_t i = 0; i < size; ++i) hash = (hash ^ static_cast<unsigned char const*>(data)[i]) * 1099511628211u;
    };
    for (auto const& entity : index.getEntities()) {
        AABB const& box = entity->getAABB();
        mix(&box, sizeof box);
        if (auto const aabox = std::dynamic_pointer_cast<AABox>(entity)) mix(&aabox->color, sizeof aabox->color);
    }
    return hash;
}

TEST(DemoScene, BuildsTheSameWorldOnEveryRun) {
    LogCapture quiet;
    uint64_t digests[2];
    for (uint64_t& digest : digests) {
        initRandomToken();
        auto const world = loadScene(SCENE_PATH, std::make_shared<Player>(), {.graphics = false});
        ASSERT_NE(world, nullptr);
        EXPECT_EQ(world->intersector->size(), 1413);
        // The start stands clear above the ground.
        EXPECT_TRUE(world->intersector->isEmpty(world->player->getAABB()));
        EXPECT_FALSE(world->intersector->isEmpty(AABB({0, -5, 4}, {0.1f, 10, 0.1f})));
        digest = digestOf(*world->intersector);
    }
    EXPECT_EQ(digests[0], digests[1]);
    EXPECT_EQ(digests[0], 8962977840665280986u) << "the demo scene's world changed";
}

}  // namespace
