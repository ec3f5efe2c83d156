#pragma once

#include <string>

// Draws a message across the bottom of the screen, dark text on a light
// band, scaled with the window: how the game says something went wrong
// while it goes on.
void drawNotice(std::string const& text);
