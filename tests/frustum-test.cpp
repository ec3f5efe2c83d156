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
        // Seen were the view to go on beyond its far plane.
        bool beyond;
    };
    Case const cases[] = {
        {{-1, -1, -6}, {1, 1, -4}, true, true},             // straight ahead
        {{-1, -1, 4}, {1, 1, 6}, false, false},             // behind
        {{-9, -1, -6}, {-7, 1, -4}, false, false},          // left of the view
        {{7, -1, -6}, {9, 1, -4}, false, false},            // right
        {{-1, -9, -6}, {1, -7, -4}, false, false},          // below
        {{-1, 7, -6}, {1, 9, -4}, false, false},            // above
        {{-1, -1, -0.05f}, {1, 1, 0}, false, false},        // nearer than the near plane
        {{-1, -1, -200}, {1, 1, -150}, false, true},        // beyond the far plane
        {{-9, -1, -6}, {-5, 1, -4}, true, true},            // reaching in from the left
        {{-1, -9, -6}, {1, -5, -4}, true, true},            // reaching in from below
        {{-1, -1, -200}, {1, 1, 5}, true, true},            // through the whole view
        {{-400, -1, -200}, {-300, 1, -150}, false, false},  // beyond, to the left
    };
    for (auto const& c : cases) {
        EXPECT_EQ(frustum.meets({c.min, c.max}), c.seen) << c.min.x << ", " << c.min.y << ", " << c.min.z;
        EXPECT_EQ(frustum.meetsOrLiesBeyond({c.min, c.max}), c.beyond) << c.min.x << ", " << c.min.y << ", " << c.min.z;
    }
}

// Of a box from (0,0,0) to (2,2,2), the faces pointing along each axis face
// a camera beyond their side, and not one in the box's slab or behind it.
TEST(Frustum, FacesTurnedAwayFromTheCameraAreSkipped) {
    raylib::BoundingBox const box{{0, 0, 0}, {2, 2, 2}};
    for (int axis = 0; axis < 3; ++axis) {
        for (float const sign : {1.0f, -1.0f}) {
            float normal[3] = {0, 0, 0};
            normal[axis] = sign;
            // Along the axis: well behind, inside the box, beyond the far side.
            for (auto const& [along, facing] : {std::pair{-1.0f, sign < 0}, {1.0f, true}, {3.0f, sign > 0}}) {
                float eye[3] = {1, 1, 1};
                eye[axis] = along;
                EXPECT_EQ(mayFace(box, normal, {eye[0], eye[1], eye[2]}), facing)
                    << "axis " << axis << ", normal " << sign << ", eye at " << along;
            }
        }
    }
}

}  // namespace
