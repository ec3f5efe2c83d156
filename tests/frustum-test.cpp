// The view frustum: which boxes a camera may see.
#include <gtest/gtest.h>

#include "frustum.h"

namespace {

TEST(Frustum, MeetsOnlyBoxesThatReachIntoTheView) {
    // From the origin along -z, 90 degrees high, on a square screen, from
    // 0.1 to 100 units away.
    raylib::Matrix const view = raylib::MatrixLookAt({0, 0, 0}, {0, 0, -1}, {0, 1, 0});
    raylib::Matrix const projection = raylib::MatrixPerspective(PI / 2, 1, 0.1, 100);
    Frustum const frustum(raylib::MatrixMultiply(view, projection));
    struct Case {
        raylib::Vector3 min, max;
        bool seen;
    };
    Case const cases[] = {
        {{-1, -1, -6}, {1, 1, -4}, true},       // straight ahead
        {{-1, -1, 4}, {1, 1, 6}, false},        // behind
        {{-9, -1, -6}, {-7, 1, -4}, false},     // left of the view
        {{7, -1, -6}, {9, 1, -4}, false},       // right
        {{-1, -9, -6}, {1, -7, -4}, false},     // below
        {{-1, 7, -6}, {1, 9, -4}, false},       // above
        {{-1, -1, -0.05f}, {1, 1, 0}, false},   // nearer than the near plane
        {{-1, -1, -200}, {1, 1, -150}, false},  // beyond the far plane
        {{-9, -1, -6}, {-5, 1, -4}, true},      // reaching in from the left
        {{-1, -1, -200}, {1, 1, 5}, true},      // through the whole view
    };
    for (auto const& c : cases) {
        EXPECT_EQ(frustum.meets({c.min, c.max}), c.seen) << c.min.x << ", " << c.min.y << ", " << c.min.z;
    }
}

}  // namespace
