#include "frustum.h"

#include <algorithm>

namespace raylib {
#include <rlgl.h>
}

raylib::Matrix currentViewProjection() {
    return raylib::MatrixMultiply(raylib::rlGetMatrixModelview(), raylib::rlGetMatrixProjection());
}

Frustum Frustum::ofCurrentView() {
    return Frustum(currentViewProjection());
}

Frustum::Frustum(raylib::Matrix m) {
    // The rows of the matrix as the shader applies it to a position.
    float const rows[4][4] = {
        {m.m0, m.m4, m.m8, m.m12}, {m.m1, m.m5, m.m9, m.m13}, {m.m2, m.m6, m.m10, m.m14}, {m.m3, m.m7, m.m11, m.m15}};
    // Left, right, bottom, top, near, far: the last row plus or minus another.
    for (int plane = 0; plane < 6; ++plane) {
        float const sign = plane % 2 ? -1.0f : 1.0f;
        for (int i = 0; i < 4; ++i) planes[plane][i] = rows[3][i] + sign * rows[plane / 2][i];
    }
}

bool Frustum::meets(raylib::BoundingBox const& box) const {
    return meets(box, 6);
}

bool Frustum::meetsOrLiesBeyond(raylib::BoundingBox const& box) const {
    // All planes but the last, the far one.
    return meets(box, 5);
}

bool Frustum::meets(raylib::BoundingBox const& box, int planeCount) const {
    for (int plane = 0; plane < planeCount; ++plane) {
        float const* p = planes[plane];
        // How far the box's corner furthest along the plane's normal lies
        // in front of the plane: on each axis, the larger of its two sides.
        float const x = std::max(p[0] * box.min.x, p[0] * box.max.x);
        float const y = std::max(p[1] * box.min.y, p[1] * box.max.y);
        float const z = std::max(p[2] * box.min.z, p[2] * box.max.z);
        if (x + y + z + p[3] < 0) return false;
    }
    return true;
}

bool mayFace(raylib::BoundingBox const& bounds, float const normal[3], raylib::Vector3 camera) {
    float const low[3] = {bounds.min.x, bounds.min.y, bounds.min.z};
    float const high[3] = {bounds.max.x, bounds.max.y, bounds.max.z};
    float const eye[3] = {camera.x, camera.y, camera.z};
    for (int axis = 0; axis < 3; ++axis) {
        if (normal[axis] > 0) return eye[axis] > low[axis];
        if (normal[axis] < 0) return eye[axis] < high[axis];
    }
    return true;
}
