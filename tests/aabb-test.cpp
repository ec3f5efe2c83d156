#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "aabox.h"
#include "test-entities.h"

namespace {

TEST(AABB, MaxIsDerivedFromMinNotFromTheCentre) {
    // 0.1 - 0.15 + 0.3 and 0.1 + 0.15 differ in the last bit in float.
    AABB const box({0.1f, 0.0f, 0.0f}, {0.3f, 0.0f, 0.0f});
    float const min = 0.1f - 0.5f * 0.3f;
    EXPECT_EQ(box.min.x, min);
    EXPECT_EQ(box.max.x, min + 0.3f);
}

TEST(AABB, ZeroAndNegativeSizesAreStoredAsGiven) {
    AABB const point({1, 2, 3}, {0, 0, 0});
    EXPECT_VECTOR_EQ(point.min, 1, 2, 3);
    EXPECT_VECTOR_EQ(point.max, 1, 2, 3);

    AABB const inverted({0, 0, 0}, {-2, 2, 2});
    EXPECT_FLOAT_EQ(inverted.min.x, 1);
    EXPECT_FLOAT_EQ(inverted.max.x, -1);
    EXPECT_FLOAT_EQ(inverted.size.x, -2);
}

TEST(AABox, KeepsItsBoxAndReturnsTheSameRecord) {
    AABox const box({0, 0, 0}, {2, 4, 6}, {1, 2, 3, 4});
    EXPECT_VECTOR_EQ(box.getAABB().min, -1, -2, -3);
    EXPECT_VECTOR_EQ(box.getAABB().max, 1, 2, 3);
    EXPECT_EQ(&box.getAABB(), &box.getAABB());
}

struct OverlapCase {
    char const* name;
    AABB query;
    bool overlaps;
};

TEST(Overlap, InclusiveBoundsAndNaN) {
    float const nan = std::numeric_limits<float>::quiet_NaN();
    AABB const unit = cornerBox({0, 0, 0}, {1, 1, 1});
    OverlapCase const cases[] = {
        {"same box", unit, true},
        {"touching face on x", cornerBox({1, 0, 0}, {2, 1, 1}), true},
        {"touching edge", cornerBox({1, 1, 0}, {2, 2, 1}), true},
        {"touching corner", cornerBox({1, 1, 1}, {2, 2, 2}), true},
        {"inside", cornerBox({0.25f, 0.25f, 0.25f}, {0.5f, 0.5f, 0.5f}), true},
        {"0.001 beyond max x", cornerBox({1.001f, 0, 0}, {2, 1, 1}), false},
        {"0.001 beyond max y", cornerBox({0, 1.001f, 0}, {1, 2, 1}), false},
        {"0.001 beyond max z", cornerBox({0, 0, 1.001f}, {1, 1, 2}), false},
        {"0.001 below min x", cornerBox({-1, 0, 0}, {-0.001f, 1, 1}), false},
        {"0.001 below min y", cornerBox({0, -1, 0}, {1, -0.001f, 1}), false},
        {"0.001 below min z", cornerBox({0, 0, -1}, {1, 1, -0.001f}), false},
        {"NaN min x", cornerBox({nan, 0, 0}, {1, 1, 1}), false},
        {"NaN min y", cornerBox({0, nan, 0}, {1, 1, 1}), false},
        {"NaN min z", cornerBox({0, 0, nan}, {1, 1, 1}), false},
        {"NaN max x", cornerBox({0, 0, 0}, {nan, 1, 1}), false},
        {"NaN max y", cornerBox({0, 0, 0}, {1, nan, 1}), false},
        {"NaN max z", cornerBox({0, 0, 0}, {1, 1, nan}), false},
        // Inverted boxes are not normalised: (0.8..0.2) on x misses 0.9..1.
        {"inverted query", cornerBox({0.8f, 0, 0}, {0.2f, 1, 1}), true},
    };
    for (auto const& c : cases) {
        EXPECT_EQ(overlaps(unit, c.query), c.overlaps) << c.name;
        EXPECT_EQ(overlaps(c.query, unit), c.overlaps) << c.name << " (swapped)";
    }
    EXPECT_FALSE(overlaps(cornerBox({0.9f, 0, 0}, {1, 1, 1}), cornerBox({0.8f, 0, 0}, {0.2f, 1, 1})));
}

}  // namespace
