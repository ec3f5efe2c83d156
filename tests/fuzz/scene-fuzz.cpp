// Fuzz target: the scene reader on a world without graphics. Every input
// must end in a world, an empty pointer or a reported error; never a crash
// or a hang.
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "game.h"
#include "scene-reader.h"

namespace {

namespace fs = std::filesystem;

std::ostringstream quietLog;

// The models that scenes name are read from a folder of the fuzzer's own,
// where every model is tiny, so that a million runs stay fast.
fs::path folder;

void enterFuzzFolder() {
    folder = fs::temp_directory_path() / ("tessarine-scene-fuzz-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder / "assets/models");
    fs::path const small = fs::path(TESSARINE_SOURCE_DIR) / "tests/fuzz/corpus/vox/small-model.vox";
    for (char const* model : {"rock", "tree", "lamp_post"}) {
        fs::copy_file(small, folder / "assets/models" / (std::string(model) + ".vox"));
    }
    fs::current_path(folder);
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    });
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    enterFuzzFolder();
    raylib::SetTraceLogLevel(raylib::LOG_NONE);
    std::clog.rdbuf(quietLog.rdbuf());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<char const*>(data), size));
    auto const player = std::make_shared<Player>();
    initRandomToken();
    quietLog.str("");
    try {
        SceneReader reader(player, &in, std::make_shared<World>(player, WorldOptions{.graphics = false}), "fuzz");
        reader.readScene();
    } catch (std::exception* e) {
        delete e;
    } catch (std::exception const&) {
    }
    return 0;
}
