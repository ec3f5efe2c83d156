#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "renderer.h"
#include "scene-loader.h"

// The longest the loading screen goes without being drawn again, in seconds.
inline constexpr double LOADING_REDRAW_SECONDS = 0.05;

// The loading screen with the progress of a load: the words of the first
// screen, a bar filled to how far the load has come, and what it is doing.
class LoadingScreen {
public:
    // Draws one frame of the screen.
    void show(std::string const& doing, float fraction);
    // The longest time between two frames shown so far, in seconds.
    double longestGap() const { return gap; }

private:
    std::optional<std::chrono::steady_clock::time_point> last;
    double gap = 0;
};

// Loads the scene at path as loadWorld does, on a worker thread, and builds
// its collision index there, while the screen is drawn again every
// LOADING_REDRAW_SECONDS with the entries read. When the window is asked to
// close meanwhile, the reading stops after the entry it is in and there is
// no world.
SceneLoad loadShowingProgress(LoadingScreen& screen, std::string const& path, std::shared_ptr<Player> const& player,
                              LoadOptions options);

// Bakes the chunks of the world that lie around the eye, as its first frame
// would, showing on the screen how many are built.
void bakeShowingProgress(LoadingScreen& screen, Renderer& renderer, World const& world, raylib::Vector3 eye);
