// The window size for every monitor.
#include <gtest/gtest.h>

#include "ui-scale.h"

namespace {

TEST(WindowScale, MonitorsOfEveryShape) {
    struct Case {
        int width, height;
        float scale;
        int windowWidth, windowHeight;
    };
    Case const cases[] = {
        {1920, 1080, 2.4f, 1920, 1080},     {2560, 1080, 2.4f, 1920, 1080},  // the height limits
        {1366, 768, 1.7066667f, 1365, 768},                                  // truncated, not rounded
        {1280, 1024, 1.6f, 1280, 720},      {7680, 4320, 8.0f, 6400, 3600},  // the cap
        {640, 480, 0.8f, 640, 360},                                          // not bounded below
    };
    for (auto const& c : cases) {
        float const scale = fitScale(c.width, c.height);
        EXPECT_FLOAT_EQ(scale, c.scale) << c.width << " x " << c.height;
        EXPECT_EQ(std::pair(windowSizeFor(scale).width, windowSizeFor(scale).height),
                  std::pair(c.windowWidth, c.windowHeight));
    }
}

}  // namespace
