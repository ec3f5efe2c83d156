#pragma once

// Small entities and comparisons shared by the tests.
#include <gtest/gtest.h>

#include <memory>

#include "entity.h"

// An entity whose box is given corner by corner, so tests can place exact
// (also inverted or NaN) corners.
class FixedBox : public Entity {
public:
    FixedBox(raylib::Vector3 min, raylib::Vector3 max) {
        box.min = min;
        box.max = max;
        box.size = {max.x - min.x, max.y - min.y, max.z - min.z};
    }
    explicit FixedBox(AABB const& box) : box(box) {}
    void draw() override {}
    AABB const& getAABB() const override { return box; }

    AABB box;
};

inline std::shared_ptr<Entity> fixedBox(raylib::Vector3 min, raylib::Vector3 max) {
    return std::make_shared<FixedBox>(min, max);
}

inline AABB cornerBox(raylib::Vector3 min, raylib::Vector3 max) {
    return FixedBox(min, max).box;
}

#define EXPECT_VECTOR_EQ(actual, ex, ey, ez) \
    do {                                     \
        raylib::Vector3 const v_ = (actual); \
        EXPECT_FLOAT_EQ(v_.x, (ex));         \
        EXPECT_FLOAT_EQ(v_.y, (ey));         \
        EXPECT_FLOAT_EQ(v_.z, (ez));         \
    } while (0)
