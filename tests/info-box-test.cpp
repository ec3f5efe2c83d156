// What the information box says.
#include <gtest/gtest.h>

#include <tuple>

#include "frame-rate.h"
#include "info-box.h"

namespace {

TEST(InfoBox, LinesGiveTheCameraAndTheCount) {
    raylib::Camera3D const camera{{0, 2.2f, -0.1f}, {3, 6.2f, 11.9f}, {0, 1, 0}, 65, raylib::CAMERA_PERSPECTIVE};
    auto const lines = infoBoxLines(camera, 1413);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.end()),
              std::vector<std::string>({"Camera status:", "- Position: (00.000, 02.200, -0.100)",
                                        "- Target: (03.000, 06.200, 11.900)", "- Look vector: (00.231, 00.308, 00.923)",
                                        "- Voxels count: 1413"}));
    EXPECT_EQ(infoBoxLines({{1, 2, 3}, {1, 2, 3}, {0, 1, 0}, 65, 0}, -1)[3], "- Look vector: (00.000, 00.000, 00.000)");
}

// The counter gives the frames of the last half second, right from its
// first frames and after a change of pace; a frame of no time is none.
TEST(FrameRateMeter, CountsTheLastHalfSecond) {
    FrameRateMeter meter;
    EXPECT_EQ(meter.framesPerSecond(), 0);
    for (auto const& [frames, seconds, rate] :
         {std::tuple{3, 1 / 60.0f, 60}, {60, 1 / 60.0f, 60}, {5, 0.2f, 5}, {1, 0.0f, 5}, {40, 1 / 80.0f, 80}}) {
        for (int i = 0; i < frames; ++i) meter.add(seconds);
        EXPECT_EQ(meter.framesPerSecond(), rate) << frames << " of " << seconds << " s";
    }
}

}  // namespace
