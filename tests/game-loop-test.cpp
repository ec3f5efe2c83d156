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

// A player standing on a floor with its top at 0, seen through the start
// camera: at its eyes, looking almost along -x.
class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        EXPECT_VECTOR_EQ(camera.target, -0.682f, 2.2f, 3.93f);
        EXPECT_VECTOR_EQ(camera.up, 0, 1, 0);
        EXPECT_EQ(camera.fovy, 65.0f);
        index->addEntity(fixedBox({-50, -1, -50}, {50, 0, 50}));
        idle(100);
    }
    bool frame(AdditionalKeys keys, float forward = 0, float side = 0, float seconds = 1 / 60.0f, float mouseX = 0) {
        return stepFrame(camera, FixedController(forward, side, keys), player, index, seconds, {mouseX, 0});
    }
    void idle(int frames) {
        for (int i = 0; i < frames; ++i) frame({});
    }
    float stepFrom(raylib::Vector3 from) const { return std::hypot(camera.position.x - from.x, camera.position.z - from.z); }
    float yaw() const { return std::atan2(camera.target.z - camera.position.z, camera.target.x - camera.position.x) * RAD2DEG; }
    void expectCameraAtTheEyes() const { EXPECT_VECTOR_EQ(camera.position, player.position.x, player.position.y, player.position.z); }

    std::shared_ptr<Intersector> index = std::make_shared<IntersectorNaiveImpl>();
    Player player;
    raylib::Camera3D camera = startCamera();
};

TEST_F(FrameTest, AxesAreScaledByTimeAndSpeedNotNormalised) {
    struct Case { float forward, side, seconds, step; };
    Case const cases[] = {{1, 0, 1 / 60.0f, 0.15f}, {1, 1, 1 / 60.0f, 0.15f * std::sqrt(2.0f)},
                          {0, -1, 1 / 30.0f, 0.3f}, {0, 0, 1 / 60.0f, 0}};
    for (auto const& c : cases) {
        raylib::Vector3 const before = camera.position;
        EXPECT_FALSE(frame({}, c.forward, c.side, c.seconds));
        EXPECT_NEAR(stepFrom(before), c.step, 1e-5f) << c.forward << ", " << c.side;
        expectCameraAtTheEyes();
    }
    EXPECT_NEAR(player.position.y, 1.61f, 1e-5f);
}

TEST_F(FrameTest, MouseTurnsTheViewAlsoWhenTheMoveIsBlocked) {
    float const before = yaw();
    EXPECT_TRUE(frame({false, true}, 0, 0, 1 / 60.0f, 20));
    EXPECT_NEAR(yaw() - before, 1.0f, 1e-3f);  // 20 pixels, 1 degree

    index->addEntity(fixedBox({-0.4f, 0, -50}, {-0.3f, 3, 50}));  // a wall just ahead
    raylib::Vector3 const eyes = player.position;
    frame({}, 1, 0, 1 / 60.0f, -40);
    EXPECT_VECTOR_EQ(player.position, eyes.x, eyes.y, eyes.z);
    expectCameraAtTheEyes();
    EXPECT_NEAR(yaw() - before, -1.0f, 1e-3f);
}

TEST_F(FrameTest, HoldingResetReturnsToTheStartKeepingTheView) {
    for (int i = 0; i < 30; ++i) frame({}, 1, 1, 1 / 30.0f, 7);
    ASSERT_GT(stepFrom(START_POSITION), 5.0f);
    float const before = yaw();
    frame({true, false});
    EXPECT_VECTOR_EQ(player.position, 0, 2.2f, 4);  // it stood, so it does not fall this move
    expectCameraAtTheEyes();
    EXPECT_NEAR(yaw(), before, 1e-3f);

    // Into a filled start the reset is refused like any move.
    idle(100);
    index->addEntity(fixedBox({-1, 0, 3}, {1, 5, 5}));
    frame({}, 1, 0, 0.5f);
    raylib::Vector3 const away = player.position;
    frame({true, false});
    EXPECT_VECTOR_EQ(player.position, away.x, away.y, away.z);
}

}  // namespace
