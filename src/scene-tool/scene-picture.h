#pragma once

#include <optional>
#include <string>

#include "raylib-api.h"
#include "start-view.h"

// One frame of a scene, as the game draws it, to be written to a PNG file.
struct PictureRequest {
    std::string scenePath;
    std::string outputPath;
    int width = 800, height = 450;
    // The camera; by default the game's at the scene's start.
    std::optional<raylib::Vector3> eye, look;
    bool info = false;
    // The rich looks instead of the plain ones, and in them the sun's
    // shadows.
    bool richLooks = false;
    bool shadows = true;
    // The folder that holds the game's assets/ (see assetPath); empty for
    // the working directory.
    std::string assetRoot{};
};

// Draws the frame on a hidden window of the requested size, with the game's
// 4x multisampling, and writes it. Says on standard error what went wrong
// (no window, a scene that does not load, a file that cannot be written)
// and returns 1; 0 when the picture is written.
int drawScenePicture(PictureRequest const& request);
