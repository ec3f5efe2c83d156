// Recordings: written and read back, refused when damaged, and the walk
// through the demo scene played back to where it always ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "game-loop.h"
#include "game.h"
#include "log-capture.h"
#include "recording.h"
#include "scene-loader.h"
#include "world-digest.h"

namespace {

namespace fs = std::filesystem;

std::string problemOf(std::string const& bytes) {
    std::istringstream in(bytes);
    return readRecording(in).problem().message;
}

TEST(Recording, WrittenFrameByFrameAndReadBack) {
    fs::path const path = fs::temp_directory_path() / "tessarine-recording.rec";
    std::vector<FrameInput> const frames = {
        {0.016f, 1, -0.5f, {true, false, true, false}, {3.5f, -2}, false, {0.25f, -1}, true},
        {0.5f, 0, 1, {false, true, false, true}, {0, 0}, true, {0, 0}, false, raylib::Vector3{1.5f, 2, -3}},
        {0.02f, 0, 0, {}, {1, 1}, false, {0, 0}, false}};
    Motion const motion{0.125f, true, 90, true, false, 30, true, 2};
    {
        RecordingWriter writer(path.string(), "a scene.txt", 0x0123456789abcdefu, motion);
        for (FrameInput const& frame : frames) writer.write(frame);
    }
    auto const read = readRecording(path.string());
    ASSERT_TRUE(read) << read.problem().message;
    EXPECT_EQ(std::tuple(read->scenePath, read->worldDigest), std::tuple("a scene.txt", 0x0123456789abcdefu));
    EXPECT_EQ(read->motion, motion);
    ASSERT_EQ(read->frames.size(), frames.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        FrameInput const& a = read->frames[i];
        FrameInput const& b = frames[i];
        EXPECT_EQ(std::tuple(a.frameTime, a.forward, a.side, a.keys.reset, a.keys.showInfo, a.mouse.x, a.mouse.y,
                             a.reload, a.stick.x, a.stick.y, a.fly, a.keys.up, a.keys.down),
                  std::tuple(b.frameTime, b.forward, b.side, b.keys.reset, b.keys.showInfo, b.mouse.x, b.mouse.y,
                             b.reload, b.stick.x, b.stick.y, b.fly, b.keys.up, b.keys.down));
        ASSERT_EQ(a.placedAt.has_value(), b.placedAt.has_value());
        if (a.placedAt) {
            EXPECT_EQ(std::tuple(a.placedAt->x, a.placedAt->y, a.placedAt->z), std::tuple(1.5f, 2.0f, -3.0f));
        }
    }

    // The first version has no motion (the default's), no stick, and
    // movements of whole steps only.
    std::string const first = "TESSARINE RECORDING 1\nscene a.txt\nworld 00000000000000ff\nframes\n";
    std::string const firstFrame = std::string("\x89\x88\x88\x3c\0\0\x80\x3f\0\0\0\0\0\0\0\0\0\0\0\0\x01", 21);
    std::string const header =
        "TESSARINE RECORDING 2\nscene a.txt\nworld 00000000000000ff\nmotion 0.05 0 180 0\nframes\n";
    std::string const frame = firstFrame.substr(0, 20) + std::string(8, '\0') + "\x01";
    std::string const half = std::string("\0\0\0\x3f", 4);
    struct Case {
        std::string bytes, problem;
    };
    Case const cases[] = {
        {header + frame + frame, ""},
        {first + firstFrame, ""},
        {header + frame.substr(0, 4) + half + frame.substr(8), ""},
        {"TESSARINE RECORDING 3\n" + header.substr(22) + frame, "it is not a Tessarine recording of this version"},
        {header.substr(0, 40), "its header is damaged"},
        {first.substr(0, 40) + "motion 0.05 0 180 0\nframes\n", "its header is damaged"},
        {header.substr(0, 57) + "motion 0.05 2 180 0\nframes\n", "its header is damaged"},
        {header.substr(0, 57) + "motion 500 0 180 0\nframes\n", "its header is damaged"},
        {header.substr(0, 57) + "motion 0.05 0 -1 0\nframes\n", "its header is damaged"},
        {header.substr(0, 57) + "motion 0.05 0 0 0\nframes\n", ""},  // a stick that does not turn
        // The free camera's two fields, both or neither.
        {header.substr(0, 57) + "motion 0.05 0 180 0 0 20\nframes\n", ""},
        {header.substr(0, 57) + "motion 0.05 0 180 0 1\nframes\n", "its header is damaged"},
        {header.substr(0, 57) + "motion 0.05 0 180 0 2 20\nframes\n", "its header is damaged"},
        {header.substr(0, 57) + "motion 0.05 0 180 0 1 20 x\nframes\n", "its header is damaged"},
        {header.substr(0, 57) + "motion 0.05 0 180 0x\nframes\n", "its header is damaged"},
        {header.substr(0, 57) + "motion 0.05 0 180 0 1 12 1 2.5\nframes\n", ""},  // and the jump's
        {header.substr(0, 57) + "motion 0.05 0 180 0 1 12 1 100\nframes\n", ""},  // the highest jump
        {header.substr(0, 57) + "motion 0.05 0 180 0 1 12 3 2.5\nframes\n", "its header is damaged"},
        {header + frame + frame.substr(0, 28), "it is cut short in frame 2"},
        {first + firstFrame + firstFrame.substr(0, 20), "it is cut short in frame 2"},
        {first + firstFrame.substr(0, 4) + half + firstFrame.substr(8),
         "frame 1 is damaged: a movement other than -1, 0 or 1"},
        {header + frame.substr(0, 4) + std::string("\0\0\xc0\x3f", 4) + frame.substr(8),
         "frame 1 is damaged: a movement beyond -1 to 1"},
        {header + std::string("\0\0\xc0\x7f", 4) + frame.substr(4), "frame 1 is damaged: a frame time out of bounds"},
        {header + frame.substr(0, 12) + std::string("\0\0\x80\x7f", 4) + frame.substr(16),
         "frame 1 is damaged: a mouse movement out of bounds"},
        // A mouse movement of a million, the farthest, either way.
        {header + frame.substr(0, 12) + std::string("\0\x24\x74\x49", 4) + frame.substr(16), ""},
        {header + frame.substr(0, 16) + std::string("\0\x24\x74\xc9", 4) + frame.substr(20), ""},
        {header + frame.substr(0, 24) + std::string("\x66\x66\x86\x3f", 4) + frame.substr(28),
         "frame 1 is damaged: a stick beyond -1 to 1"},  // 1.05
        {header + frame.substr(0, 28) + "\x80", "frame 1 is damaged: unknown switches"},
        // A frame a server put the player back in: its place follows.
        {header + frame.substr(0, 28) + "\x40" + std::string(12, '\0') + frame, ""},
        {header + frame.substr(0, 28) + "\x40" + std::string(11, '\0'), "it is cut short in frame 1"},
        {header + frame.substr(0, 28) + "\x40" + std::string("\0\0\xc0\x7f", 4) + std::string(8, '\0'),
         "frame 1 is damaged: a place out of bounds"},
        {first + firstFrame.substr(0, 20) + "\x40" + std::string(12, '\0'), "frame 1 is damaged: unknown switches"},
    };
    for (auto const& c : cases) EXPECT_EQ(problemOf(c.bytes), c.problem) << c.bytes.size();
    std::istringstream firstVersion(first + firstFrame);
    EXPECT_EQ(readRecording(firstVersion)->motion, Motion{});
    auto const missing = readRecording("no/such/recording.rec");
    EXPECT_FALSE(missing);
    EXPECT_EQ(describeProblem(missing.problem()), "no/such/recording.rec:0:0: error: it cannot be read");
    fs::remove(path);
}

// The committed walks end at the same place, bit for bit, on every run and
// in every build: through the demo scene, up the steps, into a wall and the
// high step, back to the start and up the small hill; and, holding W from
// the start of the building scene, through its door and up its stairs to
// the floor above (eyes 2.75 higher), then into a wall of it.
TEST(Recording, TheCommittedWalksEndWhereTheyAlwaysHave) {
    struct Walk {
        char const* file;
        int frames;
        float x, y, z;
        uint64_t pathDigest;
    };
    for (Walk const& w :
         {Walk{"demo-walk.rec", 525, 9.21023464f, 3.21000028f, -7.87167501f, 0x79c1503bef1a95acu},
          Walk{"building-walk.rec", 290, -11.9062262f, 4.36000013f, -3.40436482f, 0x97f3f435bcdf9cbeu}}) {
        auto const walk = readRecording(std::string(TESSARINE_SOURCE_DIR) + "/tests/recordings/" + w.file);
        ASSERT_TRUE(walk) << walk.problem().message;
        LogCapture quiet;
        auto const player = std::make_shared<Player>();
        std::shared_ptr<World> world = loadWorld(walk->scenePath, player).world;
        EXPECT_EQ(worldDigest(*world->intersector), walk->worldDigest) << w.file;
        PlayResult const played =
            play(world, player, {.scenePath = walk->scenePath, .replay = &*walk, .graphics = false});
        EXPECT_EQ(played.frames, w.frames);
        EXPECT_EQ(std::tuple(played.position.x, played.position.y, played.position.z), std::tuple(w.x, w.y, w.z));
        EXPECT_EQ(played.pathDigest, w.pathDigest) << w.file;
    }
}

// From anywhere across the building's landing, W climbs its stairs to the
// floor above, not in a narrow band only. (From its start, it is the
// building walk above.)
TEST(BuildingScene, TheStairsAreClimbedFromAnywhereAcrossTheirFoot) {
    LogCapture quiet;
    std::shared_ptr<World> const world = loadWorld("assets/scenes/building/building.txt", nullptr).world;
    ASSERT_TRUE(world);
    for (float z = 2.5f; z <= 3.5f; z += 0.1f) {
        Player player;
        player.move({-6.75f, 1.61f, z}, world->intersector);
        raylib::Camera3D camera = cameraAt(player.position, {-20, 1.61f, z});
        for (int i = 0; i < 200; ++i) stepFrame(camera, player, world->intersector, {1 / 60.0f, 1});
        EXPECT_NEAR(player.position.y, 4.36f, 1e-4f) << "from z = " << z;
    }
}

}  // namespace
