// Fuzz target: the scene reader on a world without graphics, run from the
// project folder. Every input must end in a world, an empty pointer or a
// reported error; never a crash or a hang.
#include <cstdint>
#include <sstream>
#include <string>

#include "log-capture.h"
#include "model-loader.h"
#include "scene-reader.h"

namespace {

// The demo scene's models stay loaded, so that scenes naming them read fast.
std::vector<std::shared_ptr<LoadedModel const>> models;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    raylib::SetTraceLogLevel(raylib::LOG_NONE);
    for (char const* name : {"tree", "rock", "lamp_post"})
        models.push_back(sharedModel(std::string("assets/models/") + name + ".vox"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<char const*>(data), size));
    auto const player = std::make_shared<Player>();
    LogCapture quiet;
    initRandomToken();
    try {
        SceneReader(player, &in, std::make_shared<World>(player, WorldOptions{.graphics = false}), "fuzz").readScene();
    } catch (...) {
        reasonOfCurrentException();
    }
    return 0;
}
