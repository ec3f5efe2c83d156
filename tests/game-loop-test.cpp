// The window size for every monitor, and frames without drawing.
#include <gtest/gtest.h>

#include <cmath>

#include "fixed-controller.h"
#include "game-loop.h"
#include "intersector-naive-impl.h"
#include "test-entities.h"
#include "ui-scale.h"

namespace {

TEST(WindowScale, MonitorsOfEveryShape) {
    struct Case { int width, height; float scale; int windowWidth, windowHeight; };
    Case const cases[] = {
        {1920, 1080, 2.4f, 1920, 1080},
        {2560, 1080, 2.4f, 1920, 1080},      // the height limits
        {1366, 768, 1.7066667f, 1365, 768},  // truncated, not rounded
        {1280, 1024, 1.6f, 1280, 720},
        {7680, 4320, 8.0f, 6400, 3600},  // the cap
        {640, 480, 0.8f, 640, 360},      // not bounded below
    };
    for (auto const& c : cases) {
        float const scale = fitScale(c.width, c.height);
        EXPECT_FLOAT_EQ(scale, c.scale) << c.width << " x " << c.height;
        EXPECT_EQ(std::pair(windowSizeFor(scale).width, windowSizeFor(scale).height),
                  std::pair(c.windowWidth, c.windowHeight));
    }
}

// On a floor: at 60 frames a second forward asks for 0.15 units and
// forward with a side √2 times that; 20 pixels of mouse turn the view by one
// degree, also when the move is refused; the camera stays at the eyes.
TEST(Frame, StepsTurnsAndBlockedMoves) {
    auto const index = std::make_shared<IntersectorNaiveImpl>();
    index->addEntity(fixedBox({-50, -1, -50}, {50, 0, 50}));
    Player player;
    raylib::Camera3D camera = startCamera();
    auto const frame = [&](float forward, float side, float mouseX) {
        raylib::Vector3 const before = camera.position;
        float const yaw = std::atan2(camera.target.z - camera.position.z, camera.target.x - camera.position.x);
        EXPECT_TRUE(stepFrame(camera, FixedController(forward, side, {false, true}), player, index, 1 / 60.0f, {mouseX, 0}));
        EXPECT_VECTOR_EQ(camera.position, player.position.x, player.position.y, player.position.z);
        float const turned = std::atan2(camera.target.z - camera.position.z, camera.target.x - camera.position.x) - yaw;
        return std::pair(std::hypot(camera.position.x - before.x, camera.position.z - before.z), turned * RAD2DEG);
    };
    for (int i = 0; i < 100; ++i) frame(0, 0, 0);
    auto const [step, turn] = frame(1, 0, 20);
    EXPECT_NEAR(step, 0.15f, 1e-5f);
    EXPECT_NEAR(turn, 1.0f, 1e-3f);
    EXPECT_NEAR(frame(1, 1, 0).first, 0.15f * std::sqrt(2.0f), 1e-5f);
    index->addEntity(fixedBox({-50, 0, -50}, {50, 3, 50}));  // walls all round
    auto const [blockedStep, blockedTurn] = frame(-1, 0, -40);
    EXPECT_EQ(blockedStep, 0.0f);
    EXPECT_NEAR(blockedTurn, -2.0f, 1e-3f);
}

}  // namespace
