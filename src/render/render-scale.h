#pragma once

// The automatic render scale: the fraction of the window's width and height
// the 3D view is drawn at, changed between frames so that drawing a frame
// takes no longer than a frame at the target rate allows.
class AutoScale {
public:
    static constexpr float SMALLEST = 0.25f;

    explicit AutoScale(int targetFps) : targetFps(targetFps) {}

    // After each frame, with the seconds its drawing took: the scale for
    // the next. It changes after a few frames' average, when that is over
    // the budget or well under it, in steps of 5 % of the window.
    float update(double seconds);

    float scale = 1.0f;

private:
    int targetFps;
    double spent = 0;
    int frames = 0;
};
