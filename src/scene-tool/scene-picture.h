#pragma once

#include <string>

#include "raylib-api.h"

// One frame of a scene, as the game draws it, to be written to a PNG file.
struct PictureRequest {
    std::string scenePath;
    std::string outputPath;
    int width = 800, height = 450;
    // The camera; by default the game's at the start.
    raylib::Vector3 eye{0.0f, 2.2f, 4.0f};
    raylib::Vector3 look{-0.682f, 2.2f, 3.93f};
    bool info = false;
};

// Draws the frame on a hidden window of the requested size, with the game's
// 4x multisampling, and writes it. Says on standard error what went wrong
// (no window, a scene that does not load, a file that cannot be written)
// and returns 1; 0 when the picture is written.
int drawScenePicture(PictureRequest const& request);
