// The loading screen: its bar, and a load that cannot finish.
#include <gtest/gtest.h>

#include <stdexcept>

#include "gl-test.h"
#include "loading-screen.h"

namespace {

TEST(LoadingScreen, TheBarLeaves200PixelsEachSideButIsNeverNarrower) {
    EXPECT_EQ(std::pair(loadingBarWidth(1280), loadingBarWidth(500)), std::pair(880, 200));
}

// The bar is filled from its left end as far as the load has come, and not
// at all before it begins.
TEST(LoadingScreen, TheBarIsFilledAsFarAsTheLoadHasCome) {
    int const width = loadingBarWidth(raylib::GetScreenWidth());
    for (float const fraction : {0.0f, 0.5f, 1.0f}) {
        raylib::Image const image = captureFrame([&] { drawLoadingScreen("", fraction); });
        raylib::Color const background = raylib::GetImageColor(image, 100, 160);
        int filled = 0;  // inside the bar's frame, along its middle row
        for (int x = 201; x < 199 + width; ++x)
            filled += !raylib::ColorIsEqual(raylib::GetImageColor(image, x, 160), background);
        EXPECT_NEAR(filled, fraction * static_cast<float>(width - 2), 1) << fraction;
        raylib::UnloadImage(image);
    }
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
