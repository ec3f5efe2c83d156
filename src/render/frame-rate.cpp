#include "frame-rate.h"

#include <cmath>

#include "raylib-api.h"

namespace {

constexpr double AVERAGED_SECONDS = 0.5;

}  // namespace

void FrameRateMeter::add(float seconds) {
    if (!(seconds > 0)) return;
    recent.push_back(seconds);
    total += seconds;
    // The frame just added always stays: alone, it leaves no time before it.
    while (total - recent.front() >= AVERAGED_SECONDS) {
        total -= recent.front();
        recent.pop_front();
    }
}

int FrameRateMeter::framesPerSecond() const {
    return recent.empty() ? 0 : static_cast<int>(std::lround(recent.size() / total));
}

void drawFrameRate(int framesPerSecond) {
    raylib::Color const color = framesPerSecond >= 30   ? raylib::Color{0, 158, 47, 255}
                                : framesPerSecond >= 15 ? raylib::Color{255, 161, 0, 255}
                                                        : raylib::Color{230, 41, 55, 255};
    raylib::DrawText(raylib::TextFormat("%2i FPS", framesPerSecond), 0, 0, 20, color);
}
