#pragma once

#include <cstdint>
#include <fstream>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "controller.h"
#include "raylib-api.h"

// One frame's input, as the frame loop consumes it: from the devices while
// playing, from a recording while replaying.
struct FrameInput {
    float frameTime = 0;
    float forward = 0, side = 0;
    AdditionalKeys keys{};
    raylib::Vector2 mouse{};
    // F5: the scene read again.
    bool reload = false;
};

// A play, frame by frame, and the scene it was made on: its path, and the
// digest of the world it built, so that a recording is not played on a
// scene that has changed.
struct Recording {
    std::string scenePath;
    uint64_t worldDigest = 0;
    std::vector<FrameInput> frames;
};

// Writes a recording as the play goes: a text header (format and version,
// scene, world digest), then 21 bytes a frame (the frame time, the two axes
// and the mouse delta as little-endian 32-bit floats, and a byte of
// switches), so a recording cut short by a crash keeps its frames.
class RecordingWriter {
public:
    RecordingWriter(std::string const& path, std::string const& scenePath, uint64_t worldDigest);
    bool good() const { return static_cast<bool>(out); }
    void write(FrameInput const& frame);

    std::string const path;
    int frames = 0;

private:
    std::ofstream out;
};

// Reads a recording. When it cannot be played (a file that cannot be read,
// of another format or version, damaged or cut short), problem says what is
// wrong, in a few words, and nothing is returned.
std::optional<Recording> readRecording(std::string const& path, std::string& problem);
std::optional<Recording> readRecording(std::istream& in, std::string& problem);
