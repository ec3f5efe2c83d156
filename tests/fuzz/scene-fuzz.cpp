// Fuzz target: loading a scene as the game does, run from the project
// folder. Every input must end in a world or in problems; never a crash or
// a hang.
#include <cstdint>
#include <string>

#include "log-capture.h"
#include "scene-loader.h"

namespace {

// The demo scene's models stay loaded, so that scenes naming them read fast.
ModelCache models;
std::vector<std::shared_ptr<LoadedModel const>> kept;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    raylib::SetTraceLogLevel(raylib::LOG_NONE);
    for (char const* name : {"tree", "rock", "lamp_post"})
        kept.push_back(models.get(std::string("assets/models/") + name + ".vox"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) {
    LogCapture quiet;
    SceneLoad const load = loadWorldFromText(std::string(reinterpret_cast<char const*>(data), size), "fuzz",
                                             std::make_shared<Player>(), {.models = &models});
    if (!load.world && load.problems.empty()) __builtin_trap();
    return 0;
}
