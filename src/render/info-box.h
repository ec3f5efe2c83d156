#pragma once

#include <array>
#include <string>

#include "raylib-api.h"

// Where the information box and its five text lines go, in pixels. The box
// is designed for an 800 x 450 window and scaled by the smaller of the
// world's uiScale and the window's own scale, so it always fits the window.
struct InfoBoxLayout {
    int x, y, width, height;
    int textX, fontSize;
    int lineY[5];
};
InfoBoxLayout infoBoxLayout(float uiScale, int screenWidth, int screenHeight);

// The box's five lines: the camera's position, target and normalised look
// vector, and the number of entities.
std::array<std::string, 5> infoBoxLines(raylib::Camera3D const& camera, int entityCount);

// The frame-rate counter and the camera status box.
void drawInfoBox(raylib::Camera3D const& camera, float uiScale, int entityCount, int framesPerSecond);
