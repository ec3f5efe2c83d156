#pragma once

// Small entities and comparisons shared by the tests.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "entity.h"
#include "problem.h"

// A problem's message; empty for none.
inline std::string messageOf(std::optional<Problem> const& problem) {
    return problem ? problem->message : "";
}

// An entity whose box is given corner by corner, so tests can place exact
// (also inverted or NaN) corners.
class FixedBox : public Entity {
public:
    explicit FixedBox(AABB const& box) : box(box) {}
    void draw() override {}
    AABB const& getAABB() const override { return box; }

    AABB box;
};

inline AABB cornerBox(raylib::Vector3 min, raylib::Vector3 max) {
    AABB box;
    box.min = min;
    box.max = max;
    box.size = {max.x - min.x, max.y - min.y, max.z - min.z};
    return box;
}

inline std::shared_ptr<Entity> fixedBox(raylib::Vector3 min, raylib::Vector3 max) {
    return std::make_shared<FixedBox>(cornerBox(min, max));
}

// Component 0, 1 or 2 of a vector.
inline float& axisOf(raylib::Vector3& v, int axis) {
    return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

#define EXPECT_VECTOR_EQ(actual, ex, ey, ez) \
    do {                                     \
        raylib::Vector3 const v_ = (actual); \
        EXPECT_FLOAT_EQ(v_.x, (ex));         \
        EXPECT_FLOAT_EQ(v_.y, (ey));         \
        EXPECT_FLOAT_EQ(v_.z, (ez));         \
    } while (0)
