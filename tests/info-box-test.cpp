// What the information box says, and where it stands.
#include <gtest/gtest.h>

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

TEST(InfoBox, LayoutScalesWithTheSmallerOfTheTwoScales) {
    struct Case { float uiScale; int width, height; std::vector<int> layout; };
    Case const cases[] = {
        {4, 3840, 2160, {2400, 20, 780, 460, 2440, 40, 60, 240, 300, 360, 420}},
        {4, 800, 450, {600, 5, 195, 115, 610, 10, 15, 60, 75, 90, 105}},
        {1.5f, 1920, 1080, {900, 7, 292, 172, 915, 15, 22, 90, 112, 135, 157}},
    };
    for (auto const& c : cases) {
        InfoBoxLayout const box = infoBoxLayout(c.uiScale, c.width, c.height);
        EXPECT_EQ(std::vector<int>({box.x, box.y, box.width, box.height, box.textX, box.fontSize, box.lineY[0],
                                    box.lineY[1], box.lineY[2], box.lineY[3], box.lineY[4]}),
                  c.layout) << c.width << " x " << c.height;
    }
}

}  // namespace
