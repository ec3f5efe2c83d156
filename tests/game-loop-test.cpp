// The window size for every monitor, and a frame's step under the settings
// that turn input into motion.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <tuple>

#include "game-loop.h"
#include "intersector-naive-impl.h"
#include "render-scale.h"
#include "test-entities.h"
#include "ui-scale.h"

namespace {

TEST(WindowScale, MonitorsOfEveryShape) {
    // A monitor's width and height, its scale and the window's width and height.
    std::tuple<int, int, float, int, int> const cases[] = {
        {1920, 1080, 2.4f, 1920, 1080},     {2560, 1080, 2.4f, 1920, 1080},  // the height limits
        {1366, 768, 1.7066667f, 1365, 768},                                  // truncated, not rounded
        {1280, 1024, 1.6f, 1280, 720},      {7680, 4320, 8.0f, 6400, 3600},  // the cap
        {640, 480, 0.8f, 640, 360},                                          // not bounded below
    };
    for (auto const& [width, height, expected, windowWidth, windowHeight] : cases) {
        float const scale = fitScale(width, height);
        EXPECT_FLOAT_EQ(scale, expected) << width << " x " << height;
        EXPECT_EQ(std::pair(windowSizeFor(scale).width, windowSizeFor(scale).height),
                  std::pair(windowWidth, windowHeight));
    }
}

// Where the view turns and the player goes after one frame from the start,
// looking along -x, standing on a floor: the turn (degrees to the left,
// toward +z), the height the view looks at, and the position.
struct Stepped {
    float turn, lookY;
    raylib::Vector3 position;
};

Stepped stepped(FrameInput input, Motion const& motion,
                std::vector<std::pair<raylib::Vector3, raylib::Vector3>> walls = {}) {
    auto index = std::make_shared<IntersectorNaiveImpl>();
    index->addEntity(fixedBox({-50, -1, -50}, {50, 0.6f, 50}));
    for (auto const& [min, max] : walls) index->addEntity(fixedBox(min, max));
    Player player;
    raylib::Camera3D camera = cameraAt(START_POSITION, {-1, START_POSITION.y, START_POSITION.z});
    stepFrame(camera, player, index, input, motion);
    raylib::Vector3 const look = raylib::Vector3Subtract(camera.target, camera.position);
    return {static_cast<float>(std::atan2(look.z, -look.x) * 180 / PI), camera.target.y, player.position};
}

// The mouse and the right stick turn the view the right way round, by the
// sensitivity and the stick's speed; inverted, up and down swap.
TEST(StepFrame, TurnsTheViewAsSet) {
    Motion const plain, quick{0.1f, false, 90, false}, inverted{0.05f, true, 180, false};
    // The mouse's move, the stick's push, the motion, the turn (degrees to
    // the left, negative to the right) and the look (-1 down, 1 up).
    std::tuple<raylib::Vector2, StickLook, Motion, float, int> const cases[] = {
        {{20, 0}, {0, 0}, plain, -1, 0},   {{-20, 0}, {0, 0}, quick, 2, 0},  {{0, 0}, {1, 0}, quick, -9, 0},
        {{0, 0}, {-0.5f, 0}, plain, 9, 0}, {{0, 20}, {0, 0}, plain, 0, -1},  {{0, 20}, {0, 0}, inverted, 0, 1},
        {{0, 0}, {0, 1}, plain, 0, -1},    {{0, 0}, {0, 1}, inverted, 0, 1},
    };
    for (auto const& [mouse, stick, motion, turn, look] : cases) {
        Stepped const s = stepped({.frameTime = 0.1f, .mouse = mouse, .stick = stick}, motion);
        EXPECT_NEAR(s.turn, turn, 1e-3f) << mouse.x << " " << stick.x;
        EXPECT_EQ((s.lookY > START_POSITION.y + 1e-4f) - (s.lookY < START_POSITION.y - 1e-4f), look);
    }
    // Pushed fully up for 0.1 s at 180 degrees a second, the stick looks as
    // far as the mouse moved by 18 degrees.
    float const byStick = stepped({.frameTime = 0.1f, .stick = {0, 1}}, plain).lookY;
    float const byMouse = stepped({.frameTime = 0.1f, .mouse = {0, 18 / plain.mouseSensitivity}}, plain).lookY;
    EXPECT_NEAR(byStick, byMouse, 1e-4f);
}

// Held, the reset brings the player back to the start it is given, the
// scene's, keeping the view's direction.
TEST(StepFrame, TheResetGoesBackToTheScenesStart) {
    auto index = std::make_shared<IntersectorNaiveImpl>();
    index->addEntity(fixedBox({-50, -1, -50}, {50, 0.6f, 50}));
    Player player;
    raylib::Camera3D camera = cameraAt(START_POSITION, {-1, START_POSITION.y, START_POSITION.z});
    FrameInput input{.frameTime = 0.1f};
    input.keys.reset = true;
    raylib::Vector3 const start{8, 3, -6};
    stepFrame(camera, player, index, input, {}, start);
    EXPECT_VECTOR_EQ(player.position, start.x, start.y, start.z);
    EXPECT_VECTOR_EQ(raylib::Vector3Subtract(camera.target, camera.position), -1 - START_POSITION.x, 0, 0);
}

// Walking at an angle into a wall stops dead, as it always has, unless
// sliding along walls is set: then the part along the wall is walked.
TEST(StepFrame, SlidesAlongAWallOnlyWhenSet) {
    std::pair<raylib::Vector3, raylib::Vector3> const wall{{-0.5f, 0, -50}, {-0.3f, 5, 50}};
    FrameInput const angled{.frameTime = 1 / 60.0f, .forward = 1, .side = 1};
    Motion sliding;
    sliding.slideAlongWalls = true;
    Stepped const stopped = stepped(angled, {}, {wall});
    Stepped const slid = stepped(angled, sliding, {wall});
    EXPECT_EQ(std::pair(stopped.position.x, stopped.position.z), std::pair(START_POSITION.x, START_POSITION.z));
    EXPECT_EQ(slid.position.x, START_POSITION.x);
    EXPECT_NEAR(slid.position.z, START_POSITION.z - 0.15f, 1e-5f);
    // Straight on, a free path is walked alike.
    EXPECT_NEAR(stepped({.frameTime = 0.1f, .forward = 1}, sliding).position.x, -0.9f, 1e-5f);
}

// However long a frame, a wall however thin is never walked through: the
// player ends before it, as near as a step, and sliding, along it.
TEST(StepFrame, NoFrameIsLongEnoughToPassAWall) {
    Motion sliding;
    sliding.slideAlongWalls = true;
    for (float const frameTime : {1 / 60.0f, 0.1f, 0.2f, 0.5f, 2.0f}) {
        for (float const thickness : {0.05f, 0.2f, 1.0f}) {
            std::pair<raylib::Vector3, raylib::Vector3> const wall{{-2 - thickness, 0, -50}, {-2, 5, 50}};
            for (auto const& [side, motion] :
                 {std::pair{0.0f, Motion{}}, {1.0f, Motion{}}, {0.0f, sliding}, {1.0f, sliding}}) {
                Stepped const s = stepped({.frameTime = frameTime, .forward = 1, .side = side}, motion, {wall});
                float const reach = std::max(-MOVE_SPEED * frameTime, -1.8f);
                EXPECT_GE(s.position.x, -1.8f) << frameTime << " s, " << thickness << " thick";
                EXPECT_LE(s.position.x, reach + Player::SAFE_STEP) << frameTime << " s, " << thickness << " thick";
                if (motion.slideAlongWalls && side > 0 && frameTime > 0.2f) {
                    EXPECT_LT(s.position.z, START_POSITION.z - 0.5f * frameTime * MOVE_SPEED) << "slid along";
                }
                EXPECT_EQ(s.position.y, START_POSITION.y) << "standing on the floor";
            }
        }
    }
}

// The free camera: its key lifts the player out of walking; it flies over
// a house's wall it cannot climb, along the view and up, lands on the roof
// and stands there; the same frames, recorded and read back, end there bit
// for bit. It does not land inside a box, is refused when the play forbids
// it, and the reset ends it.
TEST(StepFrame, TheFreeCameraFliesOntoARoofAndLands) {
    auto index = std::make_shared<IntersectorNaiveImpl>();
    index->addEntity(fixedBox({-50, -1, -50}, {50, 0.6f, 50}));
    index->addEntity(fixedBox({-10, 0.6f, 2}, {-6, 5, 6}));
    FrameInput const still{.frameTime = 1 / 60.0f}, fly{.frameTime = 1 / 60.0f, .fly = true};
    FrameInput const forward{.frameTime = 1 / 60.0f, .forward = 1};
    FrameInput up = still;
    up.keys.up = true;
    std::vector<FrameInput> frames(120, forward);  // into the wall
    frames.push_back(fly);
    frames.insert(frames.end(), 30, up);       // 6 up
    frames.insert(frames.end(), 18, forward);  // 3.6 along -x, over the roof
    frames.push_back(fly);
    frames.insert(frames.end(), 60, still);  // onto the roof
    auto const played = [&](std::vector<FrameInput> const& inputs) {
        Player player;
        raylib::Camera3D camera = cameraAt(START_POSITION, {-1, START_POSITION.y, START_POSITION.z});
        for (FrameInput const& input : inputs) EXPECT_EQ(stepFrame(camera, player, index, input).refused, "");
        EXPECT_FALSE(player.flying);
        return player.position;
    };
    raylib::Vector3 const landed = played(frames);
    EXPECT_NEAR(landed.x, -5.8f - 3.6f, 0.26f);
    EXPECT_NEAR(landed.y, 5 + 1.6f, 0.02f) << "standing on the roof";
    std::filesystem::path const path = std::filesystem::temp_directory_path() / "tessarine-flight.rec";
    {
        RecordingWriter writer(path.string(), "house.txt", 1);
        for (FrameInput const& frame : frames) writer.write(frame);
    }
    auto const read = readRecording(path.string());
    std::filesystem::remove(path);
    ASSERT_TRUE(read) << read.problem().message;
    raylib::Vector3 const replayed = played(read->frames);
    EXPECT_EQ(std::memcmp(&replayed, &landed, sizeof landed), 0) << "replayed bit for bit";

    // Looking half up, flying forward climbs; a slower flight goes less far.
    Motion slow;
    slow.flySpeed = 6;
    for (auto const& [motion, speed] : {std::pair{Motion{}, FLY_SPEED}, {slow, 6.0f}}) {
        Player player;
        raylib::Camera3D camera = cameraAt(START_POSITION, {-1, START_POSITION.y + 1, START_POSITION.z});
        stepFrame(camera, player, index, fly, motion);
        stepFrame(camera, player, index, {.frameTime = 0.1f, .forward = 1}, motion);
        EXPECT_NEAR(player.position.y - START_POSITION.y, 0.1f * speed * std::sqrt(0.5f), 1e-4f);
        EXPECT_NEAR(player.position.x - START_POSITION.x, -0.1f * speed * std::sqrt(0.5f), 1e-4f);
    }

    Player player;
    raylib::Camera3D camera = cameraAt(START_POSITION, {-1, START_POSITION.y, START_POSITION.z});
    for (int i = 0; i < 40; ++i) stepFrame(camera, player, index, i == 0 ? fly : forward);
    EXPECT_LT(player.position.x, -7) << "through the wall, into the house";
    EXPECT_EQ(stepFrame(camera, player, index, fly).refused, "You cannot land here: you would stand inside a box");
    EXPECT_TRUE(player.flying);
    FrameInput reset = still;
    reset.keys.reset = true;
    stepFrame(camera, player, index, reset);
    EXPECT_FALSE(player.flying);
    EXPECT_VECTOR_EQ(player.position, START_POSITION.x, START_POSITION.y, START_POSITION.z);
    Motion walkedOnly;
    walkedOnly.freeCamera = false;
    EXPECT_EQ(stepFrame(camera, player, index, fly, walkedOnly).refused,
              "The free camera is off for this play (game.free_camera)");
    EXPECT_FALSE(player.flying);
}

// Jumping is off unless set; set, the up key rises about the jump's height
// and lands back, jumps onto a block too high to climb, and under a low
// ceiling stops below it (never onto it).
TEST(StepFrame, JumpsOnlyWhenSetAndNotThroughACeiling) {
    Motion jumping;
    jumping.jump = true;
    FrameInput jump{.frameTime = 1 / 60.0f};
    jump.keys.up = true;
    // The motion, a ceiling's bottom (0 for none), the frames walked
    // forward, the least and most the eye rises above the start, and where
    // it ends above it.
    std::tuple<Motion, float, int, float, float, float> const cases[] = {
        {Motion{}, 0, 0, 0, 0, 0},
        {jumping, 0, 0, JUMP_HEIGHT - 0.05f, JUMP_HEIGHT + 0.05f, 0},
        {jumping, START_POSITION.y + 0.5f, 0, 0.3f, 0.5f, 0},
        {jumping, 0, 15, 1, JUMP_HEIGHT + 0.36f, 1},  // climbing its edge in the air
    };
    for (auto const& [motion, ceiling, walked, lowest, highest, last] : cases) {
        auto index = std::make_shared<IntersectorNaiveImpl>();
        index->addEntity(fixedBox({-50, -1, -50}, {50, 0.6f, 50}));
        index->addEntity(fixedBox({-4, 0.6f, -50}, {-1, 1.6f, 50}));  // a block a unit high, ahead
        if (ceiling > 0) index->addEntity(fixedBox({-50, ceiling, -50}, {50, ceiling + 1, 50}));
        Player player;
        raylib::Camera3D camera = cameraAt(START_POSITION, {-1, START_POSITION.y, START_POSITION.z});
        float top = 0;
        for (int i = 0; i < 120; ++i) {
            FrameInput input = i == 0 ? jump : FrameInput{.frameTime = 1 / 60.0f};
            input.forward = i < walked ? 1 : 0;
            stepFrame(camera, player, index, input, motion);
            top = std::max(top, player.position.y - START_POSITION.y);
        }
        EXPECT_GE(top, lowest) << ceiling << " " << walked;
        EXPECT_LE(top, highest) << ceiling << " " << walked;
        EXPECT_NEAR(player.position.y - START_POSITION.y, last, 0.02f) << ceiling << " " << walked;
    }
    // Held under the ceiling, the jump key hops: stopped by the ceiling the
    // player falls back to the floor before it jumps again.
    auto index = std::make_shared<IntersectorNaiveImpl>();
    index->addEntity(fixedBox({-50, -1, -50}, {50, 0.6f, 50}));
    index->addEntity(fixedBox({-50, START_POSITION.y + 0.5f, -50}, {50, START_POSITION.y + 1.5f, 50}));
    Player player;
    raylib::Camera3D camera = cameraAt(START_POSITION, {-1, START_POSITION.y, START_POSITION.z});
    int landings = 0;
    for (int i = 0; i < 60; ++i) {
        stepFrame(camera, player, index, jump, jumping);
        landings += player.position.y < START_POSITION.y + 0.02f;
    }
    EXPECT_GE(landings, 3);
}

// A player fallen 100 below the lowest thing in the world is told how to
// come back, by the key the reset has.
TEST(FallenNotice, SaysTheResetKeyOnceFarBelowTheWorld) {
    KeyBindings unbound = DEFAULT_KEYS;
    unbound[RESET] = {0, 0};
    for (auto const& [y, keys, notice] : {
             std::tuple{-89.0f, DEFAULT_KEYS, ""},
             {-90.0f, DEFAULT_KEYS, ""},  // just 100 below: not yet
             {-90.5f, DEFAULT_KEYS, "You have fallen out of the world: hold R to go back to the start"},
             {-91.0f, unbound,
              "You have fallen out of the world: give the reset a key in the settings to go back to the start"},
         }) {
        EXPECT_EQ(fallenNotice(y, 10, keys), notice) << y;
    }
}

// The automatic scale shrinks while drawing takes longer than a frame at the
// target rate allows, settles where it fits, and grows back when drawing
// gets cheaper.
TEST(AutoScale, HoldsTheTargetFrameRate) {
    AutoScale scale(60);
    // A frame costs 4 ms, and 36 ms at full scale for its pixels.
    auto const cost = [&](double pixels) { return 0.004 + pixels * 0.036 * scale.scale * scale.scale; };
    for (int frame = 0; frame < 600; ++frame) scale.update(cost(1));
    EXPECT_LE(cost(1), 0.85 / 60);
    EXPECT_GE(cost(1), 0.5 / 60);
    EXPECT_GE(scale.scale, AutoScale::SMALLEST);
    for (int frame = 0; frame < 600; ++frame) scale.update(cost(0.1));
    EXPECT_EQ(scale.scale, 1.0f);
    for (int frame = 0; frame < 600; ++frame) scale.update(1.0);
    EXPECT_EQ(scale.scale, 0.25f);
}

}  // namespace
