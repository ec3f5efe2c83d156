#pragma once

#include <string>

#include "raylib-api.h"

// The crosshair image of the assets under assetRoot, scaled for the
// interface scale: pow(scale, 1.37) * 11 pixels a side (73 at 4). The
// caller unloads it.
raylib::Texture2D loadCursorTexture(float uiScale, std::string const& assetRoot = "");

// Draws the cursor centred on the screen, 40 pixels above the middle.
void drawCursor(raylib::Texture2D cursor);
