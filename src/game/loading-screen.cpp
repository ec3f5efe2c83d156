#include "loading-screen.h"

#include <algorithm>
#include <cmath>
#include <future>
#include <stdexcept>

#include "browser-page.h"
#include "game.h"

namespace {

constexpr raylib::Color BACKGROUND{245, 245, 245, 255};
constexpr raylib::Color FILLED{0, 228, 48, 255};
constexpr raylib::Color FRAME{130, 130, 130, 255};
constexpr raylib::Color WORDS{80, 80, 80, 255};

// The stretch of the bar a step of the load fills.
struct Stretch {
    float from, to;
    float along(float fraction) const { return from + (to - from) * std::clamp(fraction, 0.0f, 1.0f); }
};
// Where each step ends on the bar, and the next begins.
constexpr float READ = 0.4f, INDEXED = 0.8f, SORTED = 0.9f;
constexpr Stretch READING{0, READ}, INDEXING{READ, INDEXED}, SORTING{INDEXED, SORTED}, BUILDING{SORTED, 1};

}  // namespace

int loadingBarWidth(int windowWidth) {
    return std::max(200, windowWidth - 400);
}

void LoadingScreen::show(std::string const& doing, float fraction) {
    auto const now = std::chrono::steady_clock::now();
    if (last) gap = std::max(gap, std::chrono::duration<double>(now - *last).count());
    last = now;
    raylib::BeginDrawing();
    drawLoadingScreen(doing, fraction);
    raylib::EndDrawing();
}

void drawLoadingTitle() {
    raylib::ClearBackground(BACKGROUND);
    raylib::DrawText("Loading scene...", 200, 80, 40, FILLED);
}

void drawLoadingScreen(std::string const& doing, float fraction) {
    // Below the words of the first screen, at the same fixed places.
    int const width = loadingBarWidth(raylib::GetScreenWidth());
    int const filled = static_cast<int>(static_cast<float>(width) * std::clamp(fraction, 0.0f, 1.0f));
    drawLoadingTitle();
    raylib::DrawRectangle(200, 150, filled, 20, FILLED);
    raylib::DrawRectangleLines(200, 150, width, 20, FRAME);
    raylib::DrawText(doing.c_str(), 200, 185, 20, WORDS);
}

bool LoadingScreen::closeAsked() {
    closing = closing || raylib::WindowShouldClose();
    return closing;
}

double LoadingScreen::untilNextFrame() const {
    if (!last) return LOADING_REDRAW_SECONDS;
    double const since = std::chrono::duration<double>(std::chrono::steady_clock::now() - *last).count();
    return std::max(0.0, LOADING_REDRAW_SECONDS - since);
}

namespace {

// A frame of the screen while the scene file is read: its entries so far,
// and the bar as far as the bytes read.
void showReading(LoadingScreen& screen, LoadProgress const& progress) {
    float const read =
        static_cast<float>(progress.bytesRead) / static_cast<float>(std::max<size_t>(1, progress.bytesTotal));
    screen.show("Reading the scene: " + std::to_string(progress.entries.load()) + " entries", READING.along(read));
}

// In a page, which runs one thread: the screen is drawn between entries,
// and not while the index is built.
SceneLoad loadBetweenFrames(LoadingScreen& screen, std::string const& path, std::shared_ptr<Player> const& player,
                            LoadOptions options) {
    LoadProgress progress;
    options.progress = &progress;
    options.onEntry = [&](ObjectType, int) {
        if (screen.untilNextFrame() <= 0) showReading(screen, progress);
    };
    SceneLoad load = loadWorld(path, player, options);
    screen.show("Indexing the world", INDEXING.from);
    if (load.world) load.world->intersector->isEmpty(player->getAABB());
    return load;
}

}  // namespace

SceneLoad loadShowingProgress(LoadingScreen& screen, std::string const& path, std::shared_ptr<Player> const& player,
                              LoadOptions options) {
    if (IN_A_BROWSER) return loadBetweenFrames(screen, path, player, options);
    LoadProgress progress;
    options.progress = &progress;
    std::atomic<double> readSeconds = 0;  // set once the scene is read
    auto loading = std::async(std::launch::async, [&]() -> SceneLoad {
        try {
            auto const start = std::chrono::steady_clock::now();
            SceneLoad load = loadWorld(path, player, options);
            readSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            // The first query builds the collision index.
            if (load.world) load.world->intersector->isEmpty(player->getAABB());
            return load;
        } catch (std::exception const& e) {
            return {
                nullptr, {{.file = path, .message = std::string("the scene could not be loaded: ") + e.what()}}, path};
        }
    });
    std::optional<std::chrono::steady_clock::time_point> indexing;
    while (loading.wait_for(std::chrono::duration<double>(screen.untilNextFrame())) != std::future_status::ready) {
        if (screen.closeAsked()) progress.stop = true;
        if (readSeconds == 0) {
            showReading(screen, progress);
            continue;
        }
        // Nothing tells how far the index is built: it takes about three
        // times as long as the reading, and the bar nears its end that way.
        if (!indexing) indexing = std::chrono::steady_clock::now();
        double const seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - *indexing).count();
        screen.show("Indexing the world",
                    INDEXING.along(static_cast<float>(1 - std::exp(-seconds / (3 * readSeconds)))));
    }
    return loading.get();
}

void bakeShowingProgress(LoadingScreen& screen, Renderer& renderer, World const& world, raylib::Vector3 eye) {
    while (!screen.closeAsked()) {
        auto const done = renderer.scene.bakeAround(world, eye, screen.untilNextFrame());
        if (done.done()) return;
        if (done.sorted < done.entities) {
            screen.show("Sorting " + std::to_string(done.entities) + " entities into chunks",
                        SORTING.along(static_cast<float>(done.sorted) / static_cast<float>(done.entities)));
        } else {
            size_t const all = done.chunksBaked + done.chunksLeft;
            screen.show(
                "Building the world: " + std::to_string(done.chunksBaked) + " of " + std::to_string(all) + " chunks",
                BUILDING.along(static_cast<float>(done.chunksBaked) / static_cast<float>(all)));
        }
    }
}
