// Writes the recording of a walk through the demo scene that the tests play
// back, byte for byte the same on every run: up the steps, into two walls,
// back to the start, and up the small hill. Run from the project folder:
//   build/release/tools/make-recording [FILE]
#include <cstdio>
#include <iostream>
#include <sstream>

#include "game-loop.h"
#include "game.h"
#include "log-capture.h"
#include "recording.h"
#include "scene-loader.h"
#include "world-digest.h"

namespace {

// A stretch of frames with the same input, at 60 frames a second.
struct Leg {
    int frames;
    float forward, side, mouseX, mouseY;
    bool reset;
};

Leg const WALK[] = {
    {30, 0, 0, 0, 0, false},                               // land on the yard
    {27, 0, -1, 0, 0, false},                              // left, in front of the steps
    {90, 1, 0, 0, 1, false},                               // up three steps, stopped by the fourth
    {30, 0, 0, 60, 0, false},                              // a quarter turn to the right
    {100, 1, 0, 0, -1, false},                             // along -z into the wall at z = -4.25
    {30, 0, 0, 0, 0, true},                                // back to the start
    {40, 1, 0, 0, 0, false},                               // along -z, left of the lamp post
    {30, 0, 0, 60, 0, false},                              // a quarter turn to the right, along +x
    {53, 1, 0, 0, 0, false},   {30, 0, 0, -60, 0, false},  // a quarter turn to the left, along -z
    {45, 1, 0, 0, 0, false},                               // up the small hill's slabs
    {20, 0, 0, 0, 0, false},                               // and stand on its top
};

}  // namespace

int main(int argc, char** argv) {
    std::string const path = argc > 1 ? argv[1] : "tests/recordings/demo-walk.rec";
    raylib::SetTraceLogLevel(raylib::LOG_WARNING);
    auto quiet = std::make_unique<LogCapture>();
    auto const world = loadWorld(SCENE_PATH, std::make_shared<Player>()).world;
    Recording walk{SCENE_PATH, worldDigest(*world->intersector), {}};
    RecordingWriter writer(path, walk.scenePath, walk.worldDigest);
    for (Leg const& leg : WALK) {
        for (int i = 0; i < leg.frames; ++i) {
            FrameInput const frame{1 / 60.0f, leg.forward, leg.side, {leg.reset, false}, {leg.mouseX, leg.mouseY},
                                   false};
            writer.write(frame);
            walk.frames.push_back(frame);
        }
        // Where each leg ends, to see that the walk goes where it should.
        std::shared_ptr<World> played = loadWorld(SCENE_PATH, std::make_shared<Player>()).world;
        PlayResult const result =
            play(played, played->player, {.scenePath = SCENE_PATH, .replay = &walk, .graphics = false});
        std::printf("after %4d frames: (%.2f, %.2f, %.2f)\n", result.frames, result.position.x, result.position.y,
                    result.position.z);
    }
    quiet.reset();
    if (!writer.good()) {
        std::fprintf(stderr, "make-recording: cannot write %s (run it from the project folder)\n", path.c_str());
        return 1;
    }
    std::printf("make-recording: wrote %s\n", path.c_str());
    return 0;
}
