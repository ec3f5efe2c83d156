#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "aabox.h"
#include "packed-color.h"

// Face numbers, in the order a box's faces are drawn.
enum BoxFace { FACE_POS_Z, FACE_NEG_Z, FACE_POS_Y, FACE_NEG_Y, FACE_POS_X, FACE_NEG_X };

// The face on the negative (false) or positive (true) side of an axis
// (0 x, 1 y, 2 z).
inline BoxFace faceOf(int axis, bool positive) {
    constexpr BoxFace FACES[3][2] = {{FACE_NEG_X, FACE_POS_X}, {FACE_NEG_Y, FACE_POS_Y}, {FACE_NEG_Z, FACE_POS_Z}};
    return FACES[axis][positive];
}

// The axis a face is at right angles to.
inline int axisOf(BoxFace face) {
    return 2 - face / 2;
}

// The outward normal of a face: the even faces point the positive way.
inline raylib::Vector3 normalOf(BoxFace face) {
    float const sign = face % 2 == 0 ? 1.0f : -1.0f;
    int const axis = axisOf(face);
    return {axis == 0 ? sign : 0.0f, axis == 1 ? sign : 0.0f, axis == 2 ? sign : 0.0f};
}

// Coordinates of faces closer than this are the same: boxes side by side
// whose planes are a few float steps apart, as a cloud's are, touch.
inline float tolerance(float coordinate) {
    return 1e-6f * std::max(1.0f, std::abs(coordinate));
}

// A box's two faces on an axis, as it is drawn (at centre ± size / 2): the
// planes they lie on, the negative side's first, and the rectangle both
// span on the two other axes (the one after the axis from and to, then the
// one after that from and to).
struct FacesOnAxis {
    float planes[2];
    std::array<float, 4> rect;
};
inline FacesOnAxis facesOnAxis(AABox const& box, int axis) {
    int const u = (axis + 1) % 3, v = (axis + 2) % 3;
    float const centre[3] = {box.position.x, box.position.y, box.position.z};
    raylib::Vector3 const s = box.aabb.size;
    float const half[3] = {s.x / 2, s.y / 2, s.z / 2};
    return {{centre[axis] - half[axis], centre[axis] + half[axis]},
            {centre[u] - half[u], centre[u] + half[u], centre[v] - half[v], centre[v] + half[v]}};
}

// Whether a box hides what lies behind it and has an inside: opaque, with
// a size above 0 along every axis.
inline bool solid(AABox const& box) {
    raylib::Vector3 const size = box.aabb.size;
    return box.color.a == 255 && size.x > 0 && size.y > 0 && size.z > 0;
}
