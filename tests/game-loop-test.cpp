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
        {2560, 1080, 2.4f, 1920, 1080},  // the height limits
        {1366, 768, 1.7066667f, 1365, 768},  // truncated, not rounded
        {1280, 1024, 1.6f, 1280, 720},
        {7680, 4320, 8.0f, 6400, 3600},  // the cap
        {640, 480, 0.8f, 640, 360},      // not bounded below
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        float const scale = fitScale(c.width, c.height);
        EXPECT_FLOAT_EQ(scale, c.scale);
        WindowSize const window = windowSizeFor(scale);
        EXPECT_EQ(window.width, c.windowWidth);
        EXPECT_EQ(window.height, c.windowHeight);
    }
}

class FrameTest : public ::testing::Test {
protected:
    // A player standing on a floor with its top at 0.
    void SetUp() override {
        index->addEntity(fixedBox({-50, -1, -50}, {50, 0, 50}));
        camera = startCamera();
        for (int i = 0; i < 100; ++i) stepFrame(camera, FixedController(0, 0), player, index, 1 / 60.0f, {0, 0});
    }

    float horizontalDistanceFrom(raylib::Vector3 from) const {
        return std::hypot(camera.position.x - from.x, camera.position.z - from.z);
    }

    float yaw() const {
        return std::atan2(camera.target.z - camera.position.z, camera.target.x - camera.position.x) * RAD2DEG;
    }

    std::shared_ptr<Intersector> index = std::make_shared<IntersectorNaiveImpl>();
    Player player;
    raylib::Camera3D camera{};
};

TEST_F(FrameTest, ForwardAt60FramesPerSecondAsksForAStepOf0_15) {
    raylib::Vector3 const start = camera.position;
    stepFrame(camera, FixedController(1, 0), player, index, 1 / 60.0f, {0, 0});
    EXPECT_NEAR(horizontalDistanceFrom(start), 0.15f, 1e-5f);

    raylib::Vector3 const before = camera.position;
    stepFrame(camera, FixedController(1, 1), player, index, 1 / 60.0f, {0, 0});
    EXPECT_NEAR(horizontalDistanceFrom(before), 0.15f * std::sqrt(2.0f), 1e-5f);

    raylib::Vector3 const still = camera.position;
    stepFrame(camera, FixedController(0, 0), player, index, 1 / 60.0f, {0, 0});
    EXPECT_NEAR(horizontalDistanceFrom(still), 0.0f, 1e-6f);
}

TEST_F(FrameTest, CameraStandsAtThePlayersEyes) {
    stepFrame(camera, FixedController(1, 0), player, index, 1 / 60.0f, {0, 0});
    EXPECT_VECTOR_EQ(camera.position, player.position.x, player.position.y, player.position.z);
    EXPECT_NEAR(player.position.y, 1.61f, 1e-5f);
}

TEST_F(FrameTest, TwentyPixelsOfMouseTurnTheViewOneDegree) {
    float const before = yaw();
    stepFrame(camera, FixedController(0, 0), player, index, 1 / 60.0f, {20, 0});
    EXPECT_NEAR(yaw() - before, 1.0f, 1e-3f);
}

TEST_F(FrameTest, BlockedMoveKeepsTheCameraAtTheEyesButTurns) {
    // A wall just ahead along -x.
    index->addEntity(fixedBox({-0.4f, 0, -50}, {-0.3f, 3, 50}));
    raylib::Vector3 const eyes = player.position;
    float const before = yaw();
    stepFrame(camera, FixedController(1, 0), player, index, 1 / 60.0f, {-40, 0});
    EXPECT_VECTOR_EQ(camera.position, eyes.x, eyes.y, eyes.z);
    EXPECT_VECTOR_EQ(player.position, eyes.x, eyes.y, eyes.z);
    EXPECT_NEAR(yaw() - before, -2.0f, 1e-3f);
}

TEST_F(FrameTest, HoldingResetReturnsToTheStart) {
    for (int i = 0; i < 30; ++i) stepFrame(camera, FixedController(1, 1), player, index, 1 / 30.0f, {7, 0});
    ASSERT_GT(horizontalDistanceFrom(START_POSITION), 5.0f);
    float const before = yaw();
    stepFrame(camera, FixedController(0, 0, {true, false}), player, index, 1 / 60.0f, {0, 0});
    EXPECT_EQ(player.position.x, 0.0f);
    EXPECT_EQ(player.position.z, 4.0f);
    EXPECT_NEAR(player.position.y, 2.2f, 0.02f);  // the start is above the floor: gravity applies
    EXPECT_VECTOR_EQ(camera.position, player.position.x, player.position.y, player.position.z);
    EXPECT_NEAR(yaw(), before, 1e-3f);  // the view direction is kept
}

TEST_F(FrameTest, ResetIsAnOrdinaryMoveUnderTheSameCollisionTests) {
    index->addEntity(fixedBox({-1, 0, 3}, {1, 5, 5}));  // fills the start
    stepFrame(camera, FixedController(1, 0), player, index, 0.5f, {0, 0});
    raylib::Vector3 const away = player.position;
    stepFrame(camera, FixedController(0, 0, {true, false}), player, index, 1 / 60.0f, {0, 0});
    EXPECT_VECTOR_EQ(player.position, away.x, away.y, away.z);
}

TEST_F(FrameTest, InformationKeyIsPassedOn) {
    EXPECT_TRUE(stepFrame(camera, FixedController(0, 0, {false, true}), player, index, 1 / 60.0f, {0, 0}));
    EXPECT_FALSE(stepFrame(camera, FixedController(0, 0), player, index, 1 / 60.0f, {0, 0}));
}

}  // namespace
