// Writes the recordings of walks that the tests play back, byte for byte the
// same on every run, and prints where each leg ends: through the demo scene
// (up the steps, into two walls, back to the start, and up the small hill),
// and into the house of the building scene (W held from the start, through
// its door and up its stairs to the floor above, then into a wall). The
// demo walk is kept as it was first recorded, in the recordings' first
// version; run this only to record a walk again. Run from the project folder:
//   build/release/tools/make-recording
#include <cstdio>
#include <vector>

#include "game-loop.h"
#include "log-capture.h"
#include "recording.h"
#include "scene-loader.h"
#include "world-digest.h"

namespace {

// A stretch of frames with the same input, at 60 frames a second; a mouse
// of 60 pixels a frame for 30 frames turns the view by a quarter.
struct Leg {
    int frames;
    float forward, side, mouseX, mouseY;
    bool reset;
};

struct Walk {
    char const* scene;
    char const* file;
    std::vector<Leg> legs;
};

Walk const WALKS[] = {
    {SCENE_PATH,
     "tests/recordings/demo-walk.rec",
     {
         {30, 0, 0, 0, 0, false},    // land on the yard
         {27, 0, -1, 0, 0, false},   // left, in front of the steps
         {90, 1, 0, 0, 1, false},    // up three steps, stopped by the fourth
         {30, 0, 0, 60, 0, false},   // a quarter turn to the right
         {100, 1, 0, 0, -1, false},  // along -z into the wall at z = -4.25
         {30, 0, 0, 0, 0, true},     // back to the start
         {40, 1, 0, 0, 0, false},    // along -z, left of the lamp post
         {30, 0, 0, 60, 0, false},   // a quarter turn to the right, along +x
         {53, 1, 0, 0, 0, false},
         {30, 0, 0, -60, 0, false},  // a quarter turn to the left, along -z
         {45, 1, 0, 0, 0, false},    // up the small hill's slabs
         {20, 0, 0, 0, 0, false},    // and stand on its top
     }},
    {"assets/scenes/building/building.txt",
     "tests/recordings/building-walk.rec",
     {
         {30, 0, 0, 0, 0, false},   // land on the meadow
         {150, 1, 0, 0, 0, false},  // through the door, up the stairs, to the back wall above
         {30, 0, 0, 60, 0, false},  // a quarter turn to the right, along -z
         {60, 1, 0, 0, 0, false},   // across the floor above, into the side wall
         {20, 0, 0, 0, 0, false},   // and stand there
     }},
};

bool record(Walk const& walk) {
    auto const world = loadWorld(walk.scene, std::make_shared<Player>()).world;
    Recording played{walk.scene, worldDigest(*world->intersector), {}};
    RecordingWriter writer(walk.file, played.scenePath, played.worldDigest);
    for (Leg const& leg : walk.legs) {
        for (int i = 0; i < leg.frames; ++i) {
            FrameInput const frame{1 / 60.0f, leg.forward, leg.side, {leg.reset, false}, {leg.mouseX, leg.mouseY},
                                   false};
            writer.write(frame);
            played.frames.push_back(frame);
        }
        // Where each leg ends, to see that the walk goes where it should.
        std::shared_ptr<World> replayed = loadWorld(walk.scene, std::make_shared<Player>()).world;
        PlayResult const result =
            play(replayed, replayed->player, {.scenePath = walk.scene, .replay = &played, .graphics = false});
        std::printf("after %4d frames: (%.2f, %.2f, %.2f)\n", result.frames, result.position.x, result.position.y,
                    result.position.z);
    }
    if (!writer.good())
        std::fprintf(stderr, "make-recording: cannot write %s (run it from the project folder)\n", walk.file);
    return writer.good();
}

}  // namespace

int main() {
    auto quiet = std::make_unique<LogCapture>();
    bool written = true;
    for (Walk const& walk : WALKS) {
        std::printf("%s:\n", walk.file);
        written = record(walk) && written;
    }
    return written ? 0 : 1;
}
