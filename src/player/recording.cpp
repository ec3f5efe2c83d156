#include "recording.h"
#include "read-whole.h"

#include <cmath>
#include <cstring>
#include <iterator>
#include <sstream>

namespace {

constexpr char const* MAGIC = "TESSARINE RECORDING 2";
constexpr char const* FIRST_MAGIC = "TESSARINE RECORDING 1";
constexpr size_t FRAME_BYTES = 7 * 4 + 1, FIRST_FRAME_BYTES = 5 * 4 + 1;
constexpr size_t PLACE_BYTES = 3 * 4;
constexpr unsigned char RESET_BIT = 1, SHOW_INFO_BIT = 2, RELOAD_BIT = 4, FLY_BIT = 8, UP_BIT = 16, DOWN_BIT = 32,
                        PLACED_BIT = 64;
constexpr unsigned char ALL_BITS = RESET_BIT | SHOW_INFO_BIT | RELOAD_BIT | FLY_BIT | UP_BIT | DOWN_BIT | PLACED_BIT;
// No place a server puts the player is further out than this.
constexpr float FARTHEST_PLACE = 1e9f;
// No frame of a play lasts longer, and no mouse moves further, than this.
constexpr float LONGEST_FRAME = 60.0f;
constexpr float FARTHEST_MOUSE = 1e6f;

void putFloat(std::string& bytes, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(bits >> (8 * i));
}

float getFloat(unsigned char const* at) {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= static_cast<uint32_t>(at[i]) << (8 * i);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

bool isStep(float axis) {
    return axis == -1.0f || axis == 0.0f || axis == 1.0f;
}

bool isPush(float axis) {
    return axis >= -1.0f && axis <= 1.0f;
}

// What is wrong with a frame's values: none of the devices gives them.
std::string frameProblem(FrameInput const& frame, unsigned char switches, bool first) {
    if (!(frame.frameTime >= 0 && frame.frameTime <= LONGEST_FRAME)) return "a frame time out of bounds";
    if (first && (!isStep(frame.forward) || !isStep(frame.side))) return "a movement other than -1, 0 or 1";
    if (!isPush(frame.forward) || !isPush(frame.side)) return "a movement beyond -1 to 1";
    if (!(std::abs(frame.mouse.x) <= FARTHEST_MOUSE && std::abs(frame.mouse.y) <= FARTHEST_MOUSE)) {
        return "a mouse movement out of bounds";
    }
    if (!isPush(frame.stick.x) || !isPush(frame.stick.y)) return "a stick beyond -1 to 1";
    if (switches & ~ALL_BITS || (first && switches & PLACED_BIT)) return "unknown switches";
    if (frame.placedAt &&
        !(std::abs(frame.placedAt->x) <= FARTHEST_PLACE && std::abs(frame.placedAt->y) <= FARTHEST_PLACE &&
          std::abs(frame.placedAt->z) <= FARTHEST_PLACE)) {
        return "a place out of bounds";
    }
    return "";
}

// The motion line's values, or none when it is damaged: four fields, six
// with the free camera's, or eight with the jump's too.
std::optional<Motion> motionOf(std::string const& line) {
    Motion motion;
    int invert = 0, slide = 0, free = 1;  // written when their fields are there
    int used = 0, usedMore = 0;           // the characters read: nothing may follow
    if (std::sscanf(line.c_str(), "motion %f %d %f %d%n", &motion.mouseSensitivity, &invert, &motion.stickLookSpeed,
                    &slide, &used) != 4) {
        return std::nullopt;
    }
    // Then the free camera's pair, and the jump's after it, or nothing.
    int jump = 0;
    char const* rest = line.c_str() + used;
    for (auto [flag, number] : {std::pair{&free, &motion.flySpeed}, {&jump, &motion.jumpHeight}}) {
        if (*rest == '\0') break;
        if (std::sscanf(rest, " %d %f%n", flag, number, &usedMore) != 2) return std::nullopt;
        rest += usedMore;
    }
    if (*rest != '\0' || !(motion.mouseSensitivity >= 0 && motion.mouseSensitivity <= 100) ||
        !(motion.stickLookSpeed >= 0 && motion.stickLookSpeed <= 1e4f) ||
        !(motion.flySpeed >= 0 && motion.flySpeed <= 1e4f) || !(motion.jumpHeight >= 0 && motion.jumpHeight <= 100) ||
        (invert | slide | free | jump) & ~1) {
        return std::nullopt;
    }
    motion.invertLook = invert, motion.slideAlongWalls = slide, motion.freeCamera = free, motion.jump = jump;
    return motion;
}

}  // namespace

RecordingWriter::RecordingWriter(std::string const& path, std::string const& scenePath, uint64_t worldDigest,
                                 Motion const& motion)
    : path(path), out(path, std::ios::binary | std::ios::trunc) {
    char digest[17];
    std::snprintf(digest, sizeof digest, "%016llx", static_cast<unsigned long long>(worldDigest));
    out << MAGIC << "\nscene " << scenePath << "\nworld " << digest << "\n"
        << raylib::TextFormat("motion %.9g %d %.9g %d", motion.mouseSensitivity, motion.invertLook,
                              motion.stickLookSpeed, motion.slideAlongWalls);
    bool const jumps = motion.jump || motion.jumpHeight != JUMP_HEIGHT;
    if (jumps || !motion.freeCamera || motion.flySpeed != FLY_SPEED)
        out << raylib::TextFormat(" %d %.9g", motion.freeCamera, motion.flySpeed);
    if (jumps) out << raylib::TextFormat(" %d %.9g", motion.jump, motion.jumpHeight);
    out << "\nframes\n";
    out.flush();
}

void RecordingWriter::write(FrameInput const& frame) {
    std::string bytes;
    for (float const value :
         {frame.frameTime, frame.forward, frame.side, frame.mouse.x, frame.mouse.y, frame.stick.x, frame.stick.y}) {
        putFloat(bytes, value);
    }
    bytes +=
        static_cast<char>((frame.keys.reset ? RESET_BIT : 0) | (frame.keys.showInfo ? SHOW_INFO_BIT : 0) |
                          (frame.reload ? RELOAD_BIT : 0) | (frame.fly ? FLY_BIT : 0) | (frame.keys.up ? UP_BIT : 0) |
                          (frame.keys.down ? DOWN_BIT : 0) | (frame.placedAt ? PLACED_BIT : 0));
    if (frame.placedAt) {
        for (float const value : {frame.placedAt->x, frame.placedAt->y, frame.placedAt->z}) putFloat(bytes, value);
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    ++frames;
}

ReadResult<Recording> readRecording(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Problem{.file = path, .message = "it cannot be read"};
    return readRecording(in, path);
}

ReadResult<Recording> readRecording(std::istream& in, std::string const& name) {
    auto const problem = [&](std::string message) { return Problem{.file = name, .message = std::move(message)}; };
    Recording recording;
    std::string magic, scene, world, motion, frames;
    std::getline(in, magic);
    bool const first = magic == FIRST_MAGIC;
    if (magic != MAGIC && !first) return problem("it is not a Tessarine recording of this version");
    std::getline(in, scene);
    std::getline(in, world);
    if (!first) std::getline(in, motion);
    std::getline(in, frames);
    char extra;  // anything after the last field, which must be nothing
    unsigned long long digest = 0;
    std::optional<Motion> const played = first ? Motion{} : motionOf(motion);
    if (!in || scene.rfind("scene ", 0) != 0 || scene.size() == 6 || frames != "frames" ||
        std::sscanf(world.c_str(), "world %16llx%c", &digest, &extra) != 1 || !played) {
        return problem("its header is damaged");
    }
    recording.scenePath = scene.substr(6);
    recording.worldDigest = digest;
    recording.motion = *played;
    size_t const frameBytes = first ? FIRST_FRAME_BYTES : FRAME_BYTES;
    std::optional<std::string> const rest = readRest(in);
    if (!rest) return problem("it cannot be read");
    std::string const& data = *rest;
    auto const* bytes = reinterpret_cast<unsigned char const*>(data.data());
    for (size_t at = 0; at < data.size();) {
        size_t const number = recording.frames.size() + 1;
        if (data.size() - at < frameBytes) return problem("it is cut short in frame " + std::to_string(number));
        FrameInput frame;
        frame.frameTime = getFloat(bytes + at);
        frame.forward = getFloat(bytes + at + 4);
        frame.side = getFloat(bytes + at + 8);
        frame.mouse = {getFloat(bytes + at + 12), getFloat(bytes + at + 16)};
        if (!first) frame.stick = {getFloat(bytes + at + 20), getFloat(bytes + at + 24)};
        unsigned char const switches = bytes[at + frameBytes - 1];
        frame.keys = {(switches & RESET_BIT) != 0, (switches & SHOW_INFO_BIT) != 0, (switches & UP_BIT) != 0,
                      (switches & DOWN_BIT) != 0};
        frame.reload = (switches & RELOAD_BIT) != 0;
        frame.fly = (switches & FLY_BIT) != 0;
        at += frameBytes;
        if (switches & PLACED_BIT && !first) {
            if (data.size() - at < PLACE_BYTES) return problem("it is cut short in frame " + std::to_string(number));
            frame.placedAt = raylib::Vector3{getFloat(bytes + at), getFloat(bytes + at + 4), getFloat(bytes + at + 8)};
            at += PLACE_BYTES;
        }
        if (std::string const why = frameProblem(frame, switches, first); !why.empty()) {
            return problem("frame " + std::to_string(number) + " is damaged: " + why);
        }
        recording.frames.push_back(frame);
    }
    return recording;
}
