// The building scene as a player meets it, at 60 frames a second.
#include <gtest/gtest.h>

#include "game-loop.h"
#include "log-capture.h"
#include "scene-loader.h"

namespace {

// The eyes of a player standing on the ground, and on the floor above.
constexpr float GROUND_EYES = 1.61f, UPSTAIRS_EYES = 4.36f;

class BuildingScene : public ::testing::Test {
protected:
    void SetUp() override {
        LogCapture quiet;
        world = loadWorld("assets/scenes/building/building.txt", player).world;
        ASSERT_TRUE(world);
    }
    // Where holding W for the frames takes the player, from the camera given.
    raylib::Vector3 walked(raylib::Camera3D camera, int frames) {
        for (int i = 0; i < frames; ++i) stepFrame(camera, *player, world->intersector, {1 / 60.0f, 1});
        return player->position;
    }

    std::shared_ptr<Player> player = std::make_shared<Player>();
    std::shared_ptr<World> world;
};

// From the start, the view goes through the door: holding W walks in, and
// up the stairs to the floor above.
TEST_F(BuildingScene, HoldingWFromTheStartClimbsToTheFloorAbove) {
    EXPECT_NEAR(walked(startCamera(), 300).y, UPSTAIRS_EYES, 1e-4f);
}

// From anywhere across the landing, W climbs the stairs: they are not
// reached in a narrow band only.
TEST_F(BuildingScene, TheStairsAreClimbedFromAnywhereAcrossTheirFoot) {
    for (float z = 2.5f; z <= 3.5f; z += 0.1f) {
        player = std::make_shared<Player>();
        player->move({-6.75f, GROUND_EYES, z}, world->intersector);
        ASSERT_EQ(player->position.z, z) << "on the landing";
        EXPECT_NEAR(walked(cameraAt(player->position, {-20, GROUND_EYES, z}), 200).y, UPSTAIRS_EYES, 1e-4f) << z;
    }
}

// Nowhere on either floor is the player held fast: from every place it can
// stand, a step one way or another is taken.
TEST_F(BuildingScene, NoPlaceHoldsThePlayerFast) {
    int places = 0;
    for (float const eyes : {GROUND_EYES, UPSTAIRS_EYES}) {
        for (float x = -12.9f; x < -6; x += 0.05f) {
            for (float z = -3.9f; z < 4; z += 0.05f) {
                Player standing;
                standing.move({x, eyes, z}, world->intersector);
                if (standing.position.x != x || standing.position.z != z) continue;
                ++places;
                bool free = false;
                for (raylib::Vector3 const by :
                     {raylib::Vector3{0.15f, 0, 0}, {-0.15f, 0, 0}, {0, 0, 0.15f}, {0, 0, -0.15f}}) {
                    Player stepping = standing;
                    stepping.walk(raylib::Vector3Add(standing.position, by), world->intersector);
                    free |= stepping.position.x != x || stepping.position.z != z;
                }
                EXPECT_TRUE(free) << "held fast at (" << x << ", " << eyes << ", " << z << ")";
            }
        }
    }
    EXPECT_GT(places, 10000);
}

}  // namespace
