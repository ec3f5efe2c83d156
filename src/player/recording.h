#pragma once

#include <cstdint>
#include <fstream>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "controller.h"
#include "problem.h"
#include "raylib-api.h"

// One frame's input, as the frame loop consumes it: from the devices while
// playing, from a recording while replaying.
struct FrameInput {
    float frameTime = 0;
    // The movement axes, -1 to 1: whole steps from keys and buttons, in
    // between from a stick.
    float forward = 0, side = 0;
    AdditionalKeys keys{};
    raylib::Vector2 mouse{};
    // F5: the scene read again.
    bool reload = false;
    // The right stick, turning the view.
    StickLook stick{};
    // The free camera's key: lifts the player out of walking, or lands it.
    bool fly = false;
    // Where a server put the player back, before the frame's move.
    std::optional<raylib::Vector3> placedAt{};
};

// Degrees of turn a pixel of mouse motion, and a second of the right stick
// pushed all the way.
inline constexpr float MOUSE_SENSITIVITY = 0.05f;
inline constexpr float STICK_LOOK_SPEED = 180.0f;
// Units a second the free camera flies.
inline constexpr float FLY_SPEED = 12.0f;
// Units a jump rises, where jumping is set.
inline constexpr float JUMP_HEIGHT = 1.25f;

// What turns a frame's input into motion besides the input itself: a
// replay under them ends where the play ended. The defaults are the game's.
struct Motion {
    float mouseSensitivity = MOUSE_SENSITIVITY;
    bool invertLook = false;
    float stickLookSpeed = STICK_LOOK_SPEED;
    bool slideAlongWalls = false;
    // Whether the free camera may be used, and its speed.
    bool freeCamera = true;
    float flySpeed = FLY_SPEED;
    // Whether the up key jumps while walking, and how high, in units.
    bool jump = false;
    float jumpHeight = JUMP_HEIGHT;

    bool operator==(Motion const&) const = default;
};

// A play, frame by frame, and the scene it was made on: its path, and the
// digest of the world it built, so that a recording is not played on a
// scene that has changed; and the motion it was played with.
struct Recording {
    std::string scenePath;
    uint64_t worldDigest = 0;
    std::vector<FrameInput> frames;
    Motion motion{};
};

// Writes a recording as the play goes: a text header (format and version,
// scene, world digest, motion: the free camera's two fields, then the
// jump's, only when they or those after them are not the defaults), then
// 29 bytes a frame (the frame time, the two axes, the mouse delta and the
// stick as little-endian 32-bit floats, and a byte of switches), and 12 more
// for a frame a server put the player back in (the place, three floats), so
// a recording cut short by a crash keeps its frames.
class RecordingWriter {
public:
    RecordingWriter(std::string const& path, std::string const& scenePath, uint64_t worldDigest,
                    Motion const& motion = {});
    bool good() const { return static_cast<bool>(out); }
    void write(FrameInput const& frame);

    std::string const path;
    int frames = 0;

private:
    std::ofstream out;
};

// Reads a recording, of this version or the first (which has no motion
// line, no stick and whole-step axes, and plays with the default motion).
// When it cannot be played (a file that cannot be read, of another format
// or version, damaged or cut short), the problem says what is wrong, in a
// few words.
ReadResult<Recording> readRecording(std::string const& path);
ReadResult<Recording> readRecording(std::istream& in, std::string const& name = "recording");
