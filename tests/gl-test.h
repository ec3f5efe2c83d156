#pragma once

// Helpers for tests that run on the hidden window.
#include <functional>

#include "raylib-api.h"

namespace raylib {
#include <rlgl.h>
}

// Draws one frame with draw() and returns what reached the screen, read back
// before the buffers are swapped. The caller unloads the image.
inline raylib::Image captureFrame(std::function<void()> const& draw) {
    raylib::BeginDrawing();
    draw();
    raylib::rlDrawRenderBatchActive();
    raylib::Image image = raylib::LoadImageFromScreen();
    raylib::EndDrawing();
    return image;
}
