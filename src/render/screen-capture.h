#pragma once

#include "raylib-api.h"

// The frame drawn so far on the window, as the window shows it: a window
// with samples of its own has them averaged first, which reading its pixels
// alone leaves out on some drivers (Mesa's software renderer gives the first
// sample of each pixel). The caller unloads the image.
raylib::Image captureScreen();
