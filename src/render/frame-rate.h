#pragma once

#include <deque>

// The frame rate the counter shows: frames a second over the last half
// second of frames, fed every frame whether it is shown or not, so that it
// is right from the frame it appears in.
class FrameRateMeter {
public:
    // After each frame, with the seconds it took.
    void add(float seconds);
    // Rounded; 0 before any frame.
    int framesPerSecond() const;

private:
    std::deque<float> recent;
    double total = 0;
};

// Draws "60 FPS" at the window's top left, as raylib's counter does: lime,
// orange below 30, red below 15.
void drawFrameRate(int framesPerSecond);
