#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "renderer.h"
#include "scene-loader.h"

// The longest the loading screen goes without being drawn again, in seconds.
inline constexpr double LOADING_REDRAW_SECONDS = 0.05;

// The width of the loading bar in a window this wide: from 200 pixels in to
// 200 from the right edge, and never under 200.
int loadingBarWidth(int windowWidth);

// The words the game starts with, on the screen's background: the first
// screen, which the loading screen draws its bar under.
void drawLoadingTitle();

// Draws the loading screen into the frame begun: its words, what the load is
// doing, and the bar filled as far as fraction (0 to 1) of its width.
void drawLoadingScreen(std::string const& doing, float fraction);

// The loading screen with the progress of a load: the words of the first
// screen, a bar filled to how far the load has come, and what it is doing.
class LoadingScreen {
public:
    // Draws one frame of the screen.
    void show(std::string const& doing, float fraction);
    // The longest time between two frames shown so far, in seconds.
    double longestGap() const { return gap; }
    // The seconds left before the next frame is due, LOADING_REDRAW_SECONDS
    // after the last one (or from now, before the first).
    double untilNextFrame() const;
    // Whether the window has been asked to close since the screen first
    // looked: raylib reports a request for one frame only, the screen keeps it.
    bool closeAsked();

private:
    std::optional<std::chrono::steady_clock::time_point> last;
    double gap = 0;
    bool closing = false;
};

// Loads the scene at path as loadWorld does, on a worker thread, and builds
// its collision index there, while the screen is drawn again every
// LOADING_REDRAW_SECONDS: the bar fills to four tenths with the file read,
// and to eight with the index built. When the window is asked to close
// meanwhile, the reading stops after the entry it is in and there is no
// world.
SceneLoad loadShowingProgress(LoadingScreen& screen, std::string const& path, std::shared_ptr<Player> const& player,
                              LoadOptions options);

// Sorts the world into chunks and bakes those that lie around the eye, as
// its first frame would, the bar filling up from eight tenths, until they are
// built or the window is asked to close.
void bakeShowingProgress(LoadingScreen& screen, Renderer& renderer, World const& world, raylib::Vector3 eye);
