// Fuzz target: the scene reader on one world of a hidden window (run it on
// an X display; scripts/fuzz uses a virtual one). Every input must end in a
// world, an empty pointer or a reported error; never a crash or a hang.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "game.h"
#include "intersector-grid-impl.h"
#include "scene-reader.h"
#include "shader.h"

namespace {

namespace fs = std::filesystem;

std::shared_ptr<Player> player;
std::shared_ptr<World> world;
std::ostringstream quietLog;

// Runs the reader in a folder of its own where every model is tiny: raylib's
// .vox loader leaks each model's normals, which over a million runs would
// fill the memory with copies of our real models.
fs::path fuzzFolder;

void enterFuzzFolder() {
    fs::path const project = TESSARINE_SOURCE_DIR;
    fs::path const folder = fs::temp_directory_path() / ("tessarine-scene-fuzz-" + std::to_string(getpid()));
    fuzzFolder = folder;
    fs::remove_all(folder);
    fs::create_directories(folder / "assets/models");
    for (char const* kept : {"images", "shaders"}) fs::create_directory_symlink(project / "assets" / kept, folder / "assets" / kept);
    for (char const* model : {"rock", "tree", "lamp_post"}) {
        fs::copy_file(project / "tests/fuzz/corpus/vox/small-model.vox", folder / "assets/models" / (std::string(model) + ".vox"));
    }
    fs::current_path(folder);
}

// The world's GPU resources go before the window, and before the static
// objects they depend on.
void releaseWorld() {
    world.reset();
    player.reset();
    Shader::clearLightShader();
    raylib::CloseWindow();
    std::error_code ignored;
    fs::remove_all(fuzzFolder, ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    enterFuzzFolder();
    raylib::SetTraceLogLevel(raylib::LOG_NONE);
    raylib::SetConfigFlags(raylib::FLAG_WINDOW_HIDDEN);
    raylib::InitWindow(320, 180, "scene fuzz");
    if (!raylib::IsWindowReady()) {
        std::fprintf(stderr, "scene-fuzz needs an X display\n");
        std::exit(1);
    }
    std::clog.rdbuf(quietLog.rdbuf());
    player = std::make_shared<Player>();
    world = std::make_shared<World>(player);
    std::atexit(releaseWorld);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<char const*>(data), size));
    world->intersector = std::make_shared<IntersectorGridImpl>();
    *player = Player();
    initRandomToken();
    quietLog.str("");
    try {
        SceneReader reader(player, &in, world, "fuzz");
        reader.readScene();
    } catch (std::exception* e) {
        delete e;
    } catch (std::exception const&) {
    }
    return 0;
}
