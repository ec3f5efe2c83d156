// The loading screen: its bar, and a load that cannot finish.
#include <gtest/gtest.h>

#include <stdexcept>

#include "loading-screen.h"

namespace {

TEST(LoadingScreen, TheBarLeaves200PixelsEachSideButIsNeverNarrower) {
    EXPECT_EQ(std::pair(loadingBarWidth(1280), loadingBarWidth(500)), std::pair(880, 200));
}

// Whatever the load throws ends it with one problem that says why, not with
// the game gone.
TEST(LoadingScreen, ALoadThatThrowsEndsWithAProblem) {
    LoadingScreen screen;
    LoadOptions options;
    options.onEntry = [](ObjectType, int) { throw std::runtime_error("no memory left"); };
    SceneLoad const load = loadShowingProgress(screen, SCENE_PATH, std::make_shared<Player>(), options);
    EXPECT_EQ(load.world, nullptr);
    EXPECT_EQ(load.report(), std::string(SCENE_PATH) + ":0:0: error: the scene could not be loaded: no memory left\n");
}

}  // namespace
