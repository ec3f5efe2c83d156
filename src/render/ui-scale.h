#pragma once

#include <algorithm>

// The window layout is designed for 800 x 450; a scale of s stands for
// s * 800 by s * 450 pixels.
inline constexpr int BASE_WIDTH = 800;
inline constexpr int BASE_HEIGHT = 450;
inline constexpr float MAX_UI_SCALE = 8.0f;

// The largest scale at which 800 x 450 fits into width x height, keeping the
// aspect, capped at MAX_UI_SCALE (not bounded below).
inline float fitScale(int width, int height) {
    float const w = static_cast<float>(width) / BASE_WIDTH;
    float const h = static_cast<float>(height) / BASE_HEIGHT;
    return std::min(std::min(h, w), MAX_UI_SCALE);
}

struct WindowSize {
    int width, height;
};

// The window for a scale: each side truncated, not rounded.
inline WindowSize windowSizeFor(float scale) {
    return {static_cast<int>(scale * BASE_WIDTH), static_cast<int>(scale * BASE_HEIGHT)};
}
