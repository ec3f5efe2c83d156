#include <gtest/gtest.h>

#include <cstdlib>

#include "random.h"

namespace {

constexpr int K_MAX = 2147483647;

TEST(RandomFromDraw, IntegerIndexStaysInsideTheList) {
    struct Case { int k, min, max, expected; };
    Case const cases[] = {
        {0, 0, 4, 0},
        {1 << 30, 0, 4, 2},
        {K_MAX, 0, 4, 3},  // float(k) rounds to 2^31, the product to 4
        {K_MAX, 0, 1, 0},
        {K_MAX, 5, 9, 8},
        {0, -3, 3, -3},
    };
    for (auto const& c : cases) {
        EXPECT_EQ(randomFromDraw(c.k, c.min, c.max), c.expected) << "k=" << c.k << " span " << c.min << ".." << c.max;
    }
}

TEST(RandomFromDraw, FloatUsesSinglePrecision) {
    EXPECT_EQ(randomFromDraw(0, 0.9f, 1.0f), 0.9f);
    EXPECT_EQ(randomFromDraw(1 << 30, 0.0f, 10.0f), 5.0f);
    float const k = static_cast<float>(123456789);
    EXPECT_EQ(randomFromDraw(123456789, 1.5f, 2.5f), k * (2.5f - 1.5f) * 0x1p-31f + 1.5f);
}

TEST(GenerateRandom, ConsumesExactlyOneDrawEvenForASingleChoice) {
    srand(31998);
    int const first = rand();
    int const second = rand();
    srand(31998);
    EXPECT_EQ(generateRandom<int>(0, 1), 0);
    EXPECT_EQ(generateRandom<float>(0.0f, 3.0f), randomFromDraw(second, 0.0f, 3.0f));
    srand(31998);
    EXPECT_EQ(generateRandom<int>(0, 4), randomFromDraw(first, 0, 4));
}

TEST(GenerateRandom, ViolatedPreconditionStopsTheProgram) {
    EXPECT_DEATH(generateRandom<int>(0, 0), "min < max");
    EXPECT_DEATH(generateRandom<float>(2.0f, 1.0f), "min < max");
}

}  // namespace
