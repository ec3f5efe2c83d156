#pragma once

#include <cassert>
#include <cstdlib>
#include <type_traits>
#include <vector>

#include "raylib-api.h"

// The seed of both random generators: the same scene file builds the same
// world on every run.
inline constexpr int RANDOM_SEED = 31998;

// Seeds raylib's generator and rand() with RANDOM_SEED.
void initRandomToken();

// A list of colours the voxel generators pick from.
using ColorScheme = std::vector<raylib::Color>;

inline constexpr raylib::Color colorBrown{189, 135, 0, 255};
inline constexpr raylib::Color colorGreen{0, 189, 135, 255};
inline constexpr raylib::Color colorRed{189, 0, 54, 255};

inline ColorScheme const allColors{colorBrown, colorGreen, {0, 54, 189, 255}, colorRed};

// Maps one rand() value k onto [min, max), in single precision so that a
// given seed always builds the same world. For integers the result stays in
// [min, max - 1]: the float product rounds up to the whole span for the
// largest k, which would index one past the end of a list.
template <typename T>
T randomFromDraw(int k, T min, T max) {
    float const value = static_cast<float>(k) * static_cast<float>(max - min) * 0x1p-31f + static_cast<float>(min);
    if constexpr (std::is_integral_v<T>) {
        T const truncated = static_cast<T>(value);
        if (truncated >= max) return max - 1;
        if (truncated < min) return min;
        return truncated;
    } else {
        return value;
    }
}

// Draws a number between min (inclusive) and max, consuming exactly one
// rand() value whatever T is.
template <typename T>
T generateRandom(T min, T max) {
    assert(min < max);
    return randomFromDraw(rand(), min, max);
}
