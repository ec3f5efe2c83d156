// The building scene as a player meets it, at 60 frames a second. (Holding W
// from its start, up to the floor above, is the committed building walk.)
#include <gtest/gtest.h>

#include "game-loop.h"
#include "log-capture.h"
#include "scene-loader.h"

namespace {

// The eyes of a player standing on the ground, and on the floor above.
constexpr float GROUND_EYES = 1.61f, UPSTAIRS_EYES = 4.36f;

// From anywhere across the landing, W climbs the stairs, not in a narrow band
// only; and nowhere on either floor is the player held fast: from every place
// it can stand, a step one way or another is taken.
TEST(BuildingScene, TheStairsAreClimbedFromAcrossTheirFootAndNoPlaceHoldsThePlayerFast) {
    LogCapture quiet;
    std::shared_ptr<World> const world = loadWorld("assets/scenes/building/building.txt", nullptr).world;
    ASSERT_TRUE(world);
    for (float z = 2.5f; z <= 3.5f; z += 0.1f) {
        Player player;
        player.move({-6.75f, GROUND_EYES, z}, world->intersector);
        raylib::Camera3D camera = cameraAt(player.position, {-20, GROUND_EYES, z});
        for (int i = 0; i < 200; ++i) stepFrame(camera, player, world->intersector, {1 / 60.0f, 1});
        EXPECT_NEAR(player.position.y, UPSTAIRS_EYES, 1e-4f) << "from z = " << z;
    }
    int places = 0;
    for (float const eyes : {GROUND_EYES, UPSTAIRS_EYES}) {
        for (float x = -12.9f; x < -6; x += 0.05f) {
            for (float z = -3.9f; z < 4; z += 0.05f) {
                Player standing;
                standing.move({x, eyes, z}, world->intersector);
                if (standing.position.x != x || standing.position.z != z) continue;
                bool free = false;
                for (raylib::Vector3 const by :
                     {raylib::Vector3{0.15f, 0, 0}, {-0.15f, 0, 0}, {0, 0, 0.15f}, {0, 0, -0.15f}}) {
                    Player stepping = standing;
                    stepping.walk(raylib::Vector3Add(standing.position, by), world->intersector);
                    free |= stepping.position.x != x || stepping.position.z != z;
                }
                EXPECT_TRUE(free) << "held fast at (" << x << ", " << eyes << ", " << z << ")";
                ++places;
            }
        }
    }
    EXPECT_GT(places, 10000);
}

}  // namespace
