#include "game.h"

#include <cstdlib>
#include <iostream>
#include <memory>

#include "game-loop.h"
#include "raylib-api.h"
#include "scene-loader.h"
#include "ui-scale.h"

namespace {

constexpr char const* WINDOW_TITLE = "Tessarine";
constexpr int TARGET_FPS = 60;

// The reason the exception in flight gives, whichever way it was thrown.
std::string reasonOfCurrentException() {
    try {
        throw;
    } catch (std::exception* e) {
        std::string const what = e->what();
        delete e;
        return what;
    } catch (std::exception const& e) {
        return e.what();
    } catch (...) {
        return "an unknown error";
    }
}

// Loads the scene; on failure says why on standard error, after whatever the
// scene reader logged, and returns an empty world.
std::shared_ptr<World> loadSceneOrExplain(std::shared_ptr<Player> const& player) {
    std::shared_ptr<World> world;
    std::string reason = "it holds an entry the game does not know";
    try {
        world = loadScene(SCENE_PATH, player);
    } catch (...) {
        reason = reasonOfCurrentException();
    }
    if (!world) {
        std::clog.flush();
        std::cerr << "Tessarine cannot start: the scene " << SCENE_PATH << " could not be loaded (" << reason
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

void initRandomToken() {
    raylib::SetRandomSeed(RANDOM_SEED);
    srand(RANDOM_SEED);
}

int runGame() {
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
    std::shared_ptr<World> world = loadSceneOrExplain(player);
    if (!world) {
        raylib::CloseWindow();
        return EXIT_FAILURE;
    }

    gameLoop(world, player);

    // The world unloads GPU resources, so it goes before the window.
    world.reset();
    raylib::CloseWindow();
    return EXIT_SUCCESS;
}
