#include "game.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>

#include <CLI/CLI.hpp>

#include "game-loop.h"
#include "raylib-api.h"
#include "scene-loader.h"
#include "scene-reader.h"
#include "ui-scale.h"

namespace {

constexpr char const* WINDOW_TITLE = "Tessarine";
constexpr int TARGET_FPS = 60;

// Loads the scene; on failure says why on standard error, after whatever the
// scene reader logged, and returns an empty world.
std::shared_ptr<World> loadSceneOrExplain(std::string const& path, std::shared_ptr<Player> const& player) {
    std::shared_ptr<World> world;
    std::string reason = "it holds an entry the game does not know";
    try {
        world = loadScene(path, player);
    } catch (...) {
        reason = reasonOfCurrentException();
    }
    if (!world) {
        std::clog.flush();
        std::cerr << "Tessarine cannot start: the scene " << path << " could not be loaded (" << reason
                  << "); the lines above say where." << std::endl;
    }
    return world;
}

}  // namespace

float calcUIScale() {
    int const monitor = raylib::GetCurrentMonitor();
    return fitScale(raylib::GetMonitorWidth(monitor), raylib::GetMonitorHeight(monitor));
}

void renderInitScreen() {
    raylib::BeginDrawing();
    raylib::ClearBackground({245, 245, 245, 255});
    raylib::DrawText(raylib::TextFormat("Loading scene..."), 200, 80, 40, {0, 228, 48, 255});
    raylib::EndDrawing();
}

int runGame() {
    return runGame(GameOptions{});
}

int runGame(GameOptions const& options) {
    raylib::TraceLog(raylib::LOG_INFO, "Initialization");
    raylib::SetConfigFlags(raylib::FLAG_WINDOW_HIGHDPI | raylib::FLAG_VSYNC_HINT | raylib::FLAG_MSAA_4X_HINT);
    raylib::InitWindow(BASE_WIDTH, BASE_HEIGHT, WINDOW_TITLE);
    float const scale = calcUIScale();
    raylib::DisableCursor();
    raylib::SetTargetFPS(TARGET_FPS);
    WindowSize const size = windowSizeFor(scale);
    raylib::SetWindowSize(size.width, size.height);
    raylib::SetWindowState(raylib::FLAG_WINDOW_MAXIMIZED);
    raylib::SetWindowPosition(0, 0);
    renderInitScreen();
    renderInitScreen();

    auto player = std::make_shared<Player>();
    initRandomToken();
    std::shared_ptr<World> world = loadSceneOrExplain(options.scenePath, player);
    if (!world) {
        raylib::CloseWindow();
        return EXIT_FAILURE;
    }

    gameLoop(world, player, options.scenePath);

    // The world unloads GPU resources, so it goes before the window.
    world.reset();
    raylib::CloseWindow();
    return EXIT_SUCCESS;
}

int gameMain(int argc, char** argv) {
    GameOptions options;
    CLI::App app("Tessarine: a first-person walk through a world of voxels.", "tessarine");
    app.add_option("SCENE", options.scenePath, "the scene file to play (default " + options.scenePath + ")");
    try {
        app.parse(argc, argv);
    } catch (CLI::CallForHelp const&) {
        std::cout << app.help();
        return EXIT_SUCCESS;
    } catch (CLI::ParseError const& e) {
        std::cerr << "tessarine: " << e.what() << "\n" << app.help();
        return 2;
    }
    if (!std::ifstream(options.scenePath)) {
        std::cerr << "tessarine: cannot open the scene file " << options.scenePath << ": " << std::strerror(errno)
                  << std::endl;
        return EXIT_FAILURE;
    }
    return runGame(options);
}
