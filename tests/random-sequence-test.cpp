#include <gtest/gtest.h>

#include "random-sequence.h"
#include "raylib-api.h"

namespace {

// The fast draw gives exactly raylib's sequence and leaves the generator
// where raylib's leaves it.
TEST(DrawDistinctValues, SameSequenceAsRaylib) {
    struct Case { unsigned count; int total; };
    Case const cases[] = {{1, 1}, {1, 2}, {2, 2}, {16, 16}, {8, 16}, {5, 1000}, {999, 1000}, {1000, 1000},
                          {3000, 64000}, {64, 64}, {100, 7}, {0, 10}};
    unsigned const seeds[] = {31998, 1, 123456789};
    for (unsigned const seed : seeds) {
        for (auto const& c : cases) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", " << c.count << " of " << c.total);
            raylib::SetRandomSeed(seed);
            int* expected = raylib::LoadRandomSequence(c.count, 0, c.total - 1);
            int const nextExpected = raylib::GetRandomValue(0, 1 << 30);
            raylib::SetRandomSeed(seed);
            std::vector<int> const actual = drawDistinctValues(c.count, 0, c.total - 1);
            int const nextActual = raylib::GetRandomValue(0, 1 << 30);
            if (expected == nullptr) {
                EXPECT_TRUE(actual.empty());
            } else {
                EXPECT_EQ(actual, std::vector<int>(expected, expected + c.count));
                EXPECT_EQ(nextActual, nextExpected);
            }
            raylib::UnloadRandomSequence(expected);
        }
    }
}

TEST(DrawDistinctValues, OtherRanges) {
    raylib::SetRandomSeed(7);
    int* expected = raylib::LoadRandomSequence(50, -20, 40);
    raylib::SetRandomSeed(7);
    EXPECT_EQ(drawDistinctValues(50, -20, 40), std::vector<int>(expected, expected + 50));
    raylib::UnloadRandomSequence(expected);
}

}  // namespace
