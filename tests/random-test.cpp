// The shared random draws: rand() for values, raylib's generator for cells.
#include <gtest/gtest.h>

#include <cstdlib>

#include "random-sequence.h"
#include "random.h"

namespace {

TEST(RandomFromDraw, IntegersStayInsideTheListFloatsInSinglePrecision) {
    struct Case {
        int k, min, max, expected;
    };
    Case const cases[] = {
        {0, 0, 4, 0},          {1 << 30, 0, 4, 2},
        {2147483647, 0, 4, 3},  // float(k) rounds to 2^31, the product to 4
        {2147483647, 0, 1, 0}, {2147483647, 5, 9, 8},
        {0, -3, 3, -3},
    };
    for (auto const& c : cases) EXPECT_EQ(randomFromDraw(c.k, c.min, c.max), c.expected) << c.k;
    EXPECT_EQ(randomFromDraw(0, 0.9f, 1.0f), 0.9f);
    EXPECT_EQ(randomFromDraw(123456789, 1.5f, 2.5f), 123456789.0f * (2.5f - 1.5f) * 0x1p-31f + 1.5f);
}

TEST(GenerateRandom, ConsumesExactlyOneDrawAndChecksItsBounds) {
    srand(31998);
    int const first = rand();
    int const second = rand();
    srand(31998);
    EXPECT_EQ(generateRandom<int>(0, 1), 0);
    EXPECT_EQ(generateRandom<float>(0.0f, 3.0f), randomFromDraw(second, 0.0f, 3.0f));
    srand(31998);
    EXPECT_EQ(generateRandom<int>(0, 4), randomFromDraw(first, 0, 4));
    EXPECT_DEATH(generateRandom<int>(0, 0), "min < max");
    EXPECT_DEATH(generateRandom<float>(2.0f, 1.0f), "min < max");
}

// The fast draw gives exactly raylib's sequence and leaves the generator
// where raylib's leaves it.
TEST(DrawDistinctValues, SameSequenceAsRaylib) {
    struct Case {
        unsigned count;
        int min, max;
    };
    Case const cases[] = {{1, 0, 0},        {2, 0, 1},   {8, 0, 15}, {16, 0, 15},   {999, 0, 999},
                          {3000, 0, 63999}, {100, 0, 6}, {0, 0, 9},  {50, -20, 40}, {20, -1000000000, 1000000000}};
    for (unsigned const seed : {31998u, 1u, 123456789u}) {
        for (auto const& c : cases) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", " << c.count << " of " << c.min << ".." << c.max);
            raylib::SetRandomSeed(seed);
            int* expected = raylib::LoadRandomSequence(c.count, c.min, c.max);
            int const nextExpected = raylib::GetRandomValue(0, 1 << 30);
            raylib::SetRandomSeed(seed);
            std::vector<int> const actual = drawDistinctValues(c.count, c.min, c.max);
            if (expected == nullptr) {
                EXPECT_TRUE(actual.empty());
            } else {
                EXPECT_EQ(actual, std::vector<int>(expected, expected + c.count));
                EXPECT_EQ(raylib::GetRandomValue(0, 1 << 30), nextExpected);
            }
            raylib::UnloadRandomSequence(expected);
        }
    }
}

}  // namespace
