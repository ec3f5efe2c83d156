// Boxes: how they are built, and when two of them overlap.
#include <gtest/gtest.h>

#include <cmath>

#include "aabox.h"
#include "test-entities.h"

namespace {

TEST(Overlap, TouchingCountsGapsAndNaNDoNot) {
    AABB const unit = cornerBox({0, 0, 0}, {1, 1, 1});
    EXPECT_TRUE(overlaps(unit, cornerBox({1, 1, 1}, {2, 2, 2})));  // one shared corner
    for (int axis = 0; axis < 3; ++axis) {
        for (float const side : {-1.0f, 1.0f}) {
            for (float const gap : {0.0f, 0.001f}) {
                AABB moved = unit;
                axisOf(moved.min, axis) += side * (1 + gap);
                axisOf(moved.max, axis) += side * (1 + gap);
                EXPECT_EQ(overlaps(unit, moved), gap == 0) << "axis " << axis << ", side " << side;
                EXPECT_EQ(overlaps(moved, unit), gap == 0) << "axis " << axis << ", side " << side;
            }
        }
        for (bool const inMin : {true, false}) {
            AABB withNaN = unit;
            axisOf(inMin ? withNaN.min : withNaN.max, axis) = std::nanf("");
            EXPECT_FALSE(overlaps(unit, withNaN)) << "axis " << axis;
            EXPECT_FALSE(overlaps(withNaN, unit)) << "axis " << axis;
        }
    }
    // Inverted boxes are compared as stored: 0.8..0.2 on x reaches 0..1, not 0.9..1.
    AABB const inverted = cornerBox({0.8f, 0, 0}, {0.2f, 1, 1});
    EXPECT_TRUE(overlaps(unit, inverted));
    EXPECT_FALSE(overlaps(cornerBox({0.9f, 0, 0}, {1, 1, 1}), inverted));
}

}  // namespace
