#include "loading-screen.h"

#include <algorithm>
#include <future>
#include <stdexcept>

#include "game.h"

namespace {

constexpr raylib::Color BACKGROUND{245, 245, 245, 255};
constexpr raylib::Color FILLED{0, 228, 48, 255};
constexpr raylib::Color FRAME{130, 130, 130, 255};
constexpr raylib::Color WORDS{80, 80, 80, 255};

}  // namespace

void LoadingScreen::show(std::string const& doing, float fraction) {
    auto const now = std::chrono::steady_clock::now();
    if (last) gap = std::max(gap, std::chrono::duration<double>(now - *last).count());
    last = now;

    // Below the words of the first screen, at the same fixed places.
    int const width = std::max(200, raylib::GetScreenWidth() - 400);
    int const filled = static_cast<int>(static_cast<float>(width) * std::clamp(fraction, 0.0f, 1.0f));
    raylib::BeginDrawing();
    raylib::ClearBackground(BACKGROUND);
    raylib::DrawText("Loading scene...", 200, 80, 40, FILLED);
    raylib::DrawRectangle(200, 150, filled, 20, FILLED);
    raylib::DrawRectangleLines(200, 150, width, 20, FRAME);
    raylib::DrawText(doing.c_str(), 200, 185, 20, WORDS);
    raylib::EndDrawing();
}

SceneLoad loadShowingProgress(LoadingScreen& screen, std::string const& path, std::shared_ptr<Player> const& player,
                              LoadOptions options) {
    LoadProgress progress;
    options.progress = &progress;
    std::atomic<bool> indexing = false;
    auto loading = std::async(std::launch::async, [&]() -> SceneLoad {
        try {
            SceneLoad load = loadWorld(path, player, options);
            indexing = true;
            // The first query builds the collision index.
            if (load.world) load.world->intersector->isEmpty(player->getAABB());
            return load;
        } catch (std::exception const& e) {
            return {nullptr, {{0, 0, std::string("the scene could not be loaded: ") + e.what()}}, path};
        }
    });
    auto const redraw = std::chrono::duration<double>(LOADING_REDRAW_SECONDS);
    while (loading.wait_for(redraw) != std::future_status::ready) {
        if (raylib::WindowShouldClose()) progress.stop = true;
        size_t const total = std::max<size_t>(1, progress.bytesTotal);
        float const read = static_cast<float>(progress.bytesRead) / static_cast<float>(total);
        screen.show(indexing ? "Indexing the world"
                             : "Reading the scene: " + std::to_string(progress.entries.load()) + " entries",
                    read);
    }
    return loading.get();
}

void bakeShowingProgress(LoadingScreen& screen, Renderer& renderer, World const& world, raylib::Vector3 eye) {
    for (;;) {
        auto const done = renderer.scene.bakeAround(world.intersector, eye, LOADING_REDRAW_SECONDS);
        if (done.done()) return;
        if (done.sorted < done.entities) {
            screen.show("Sorting " + std::to_string(done.entities) + " entities into chunks",
                        static_cast<float>(done.sorted) / static_cast<float>(done.entities));
        } else {
            size_t const all = done.chunksBaked + done.chunksLeft;
            screen.show("Building the world: " + std::to_string(done.chunksBaked) + " of " + std::to_string(all) +
                            " chunks",
                        static_cast<float>(done.chunksBaked) / static_cast<float>(all));
        }
    }
}
