#include "recording.h"

#include <cmath>
#include <cstring>
#include <iterator>
#include <sstream>

namespace {

constexpr char const* MAGIC = "TESSARINE RECORDING 1";
constexpr size_t FRAME_BYTES = 5 * 4 + 1;
constexpr unsigned char RESET = 1, SHOW_INFO = 2, RELOAD = 4;
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

// What is wrong with a frame's values: none of the devices gives them.
std::string frameProblem(FrameInput const& frame, unsigned char switches) {
    if (!(frame.frameTime >= 0 && frame.frameTime <= LONGEST_FRAME)) return "a frame time out of bounds";
    if (!isStep(frame.forward) || !isStep(frame.side)) return "a movement other than -1, 0 or 1";
    if (!(std::abs(frame.mouse.x) <= FARTHEST_MOUSE && std::abs(frame.mouse.y) <= FARTHEST_MOUSE)) {
        return "a mouse movement out of bounds";
    }
    if (switches > (RESET | SHOW_INFO | RELOAD)) return "unknown switches";
    return "";
}

}  // namespace

RecordingWriter::RecordingWriter(std::string const& path, std::string const& scenePath, uint64_t worldDigest)
    : path(path), out(path, std::ios::binary | std::ios::trunc) {
    char digest[17];
    std::snprintf(digest, sizeof digest, "%016llx", static_cast<unsigned long long>(worldDigest));
    out << MAGIC << "\nscene " << scenePath << "\nworld " << digest << "\nframes\n";
    out.flush();
}

void RecordingWriter::write(FrameInput const& frame) {
    std::string bytes;
    for (float const value : {frame.frameTime, frame.forward, frame.side, frame.mouse.x, frame.mouse.y}) {
        putFloat(bytes, value);
    }
    bytes += static_cast<char>((frame.keys.reset ? RESET : 0) | (frame.keys.showInfo ? SHOW_INFO : 0) |
                               (frame.reload ? RELOAD : 0));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    ++frames;
}

std::optional<Recording> readRecording(std::string const& path, std::string& problem) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problem = "it cannot be read";
        return std::nullopt;
    }
    return readRecording(in, problem);
}

std::optional<Recording> readRecording(std::istream& in, std::string& problem) {
    Recording recording;
    std::string magic, scene, world, frames;
    std::getline(in, magic);
    if (magic != MAGIC) {
        problem = "it is not a Tessarine recording of this version";
        return std::nullopt;
    }
    std::getline(in, scene);
    std::getline(in, world);
    std::getline(in, frames);
    char extra = 0;
    unsigned long long digest = 0;
    if (!in || scene.rfind("scene ", 0) != 0 || scene.size() == 6 || frames != "frames" ||
        std::sscanf(world.c_str(), "world %16llx%c", &digest, &extra) != 1) {
        problem = "its header is damaged";
        return std::nullopt;
    }
    recording.scenePath = scene.substr(6);
    recording.worldDigest = digest;
    std::string const data(std::istreambuf_iterator<char>(in), {});
    if (data.size() % FRAME_BYTES != 0) {
        problem = "it is cut short in frame " + std::to_string(data.size() / FRAME_BYTES + 1);
        return std::nullopt;
    }
    auto const* bytes = reinterpret_cast<unsigned char const*>(data.data());
    for (size_t at = 0; at < data.size(); at += FRAME_BYTES) {
        FrameInput frame;
        frame.frameTime = getFloat(bytes + at);
        frame.forward = getFloat(bytes + at + 4);
        frame.side = getFloat(bytes + at + 8);
        frame.mouse = {getFloat(bytes + at + 12), getFloat(bytes + at + 16)};
        unsigned char const switches = bytes[at + 20];
        frame.keys = {(switches & RESET) != 0, (switches & SHOW_INFO) != 0};
        frame.reload = (switches & RELOAD) != 0;
        if (std::string const why = frameProblem(frame, switches); !why.empty()) {
            problem = "frame " + std::to_string(at / FRAME_BYTES + 1) + " is damaged: " + why;
            return std::nullopt;
        }
        recording.frames.push_back(frame);
    }
    return recording;
}
