#pragma once

#include "raylib-api.h"

// An axis-aligned box. min followed by max has the layout of raylib's
// BoundingBox.
struct AABB {
    raylib::Vector3 size{};
    raylib::Vector3 min{};
    raylib::Vector3 max{};

    AABB() = default;

    // Built as min = center - 0.5 * size, then max = min + size, in single
    // precision: max is derived from min, not from the centre, so boxes that
    // touch agree to the last bit.
    AABB(raylib::Vector3 center, raylib::Vector3 size)
        : size(size),
          min{center.x - 0.5f * size.x, center.y - 0.5f * size.y, center.z - 0.5f * size.z},
          max{min.x + size.x, min.y + size.y, min.z + size.z} {}
};

// Inclusive overlap: boxes that only touch overlap. Every comparison is
// ordered, so a NaN anywhere means no overlap. Corners are used as stored.
inline bool overlaps(AABB const& a, AABB const& b) {
    return a.max.x >= b.min.x && b.max.x >= a.min.x && a.max.y >= b.min.y && b.max.y >= a.min.y && a.max.z >= b.min.z &&
           b.max.z >= a.min.z;
}
