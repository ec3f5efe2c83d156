#include "render-scale.h"

#include <algorithm>
#include <cmath>

namespace {

// Frames averaged before the scale changes.
constexpr int FRAMES_MEASURED = 15;
// The share of a frame's time drawing may take, leaving room for the rest;
// below the lower share the scale grows again.
constexpr double BUDGET = 0.85, ROOM = 0.6;
constexpr float STEP = 0.05f;

}  // namespace

float AutoScale::update(double seconds) {
    spent += seconds;
    if (++frames < FRAMES_MEASURED) return scale;
    double const average = spent / frames;
    spent = 0;
    frames = 0;
    double const frame = 1.0 / targetFps;
    if (average > BUDGET * frame || average < ROOM * frame) {
        // The drawing costs about as much as its pixels, the square of the scale.
        float const wanted = scale * static_cast<float>(std::sqrt((BUDGET + ROOM) / 2 * frame / average));
        scale = std::clamp(std::round(wanted / STEP) * STEP, SMALLEST, 1.0f);
    }
    return scale;
}
