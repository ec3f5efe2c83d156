#pragma once

#include <string>
#include <vector>

#include "controller.h"
#include "raylib-api.h"

// What the game does as a desktop window, besides the play: its
// fullscreen key (F11) switches fullscreen on and off; the mouse is released
// when the window loses focus and caught again by a click in it; its
// screenshot key (F12) saves a screenshot. Each is logged.
class DesktopWindow {
public:
    // Once a frame, with the keys pressed since the last one: the mouse's
    // movement that the frame may use; none while the mouse is free, nor as
    // it is caught again, so that the view does not jump.
    raylib::Vector2 update(std::vector<int> const& keys, KeyBindings const& bindings = DEFAULT_KEYS);
    // The mouse let go, for a screen that is worked with the pointer, and
    // caught again.
    void releaseMouse();
    void catchMouse();
    // Once the frame is drawn, before it is shown: the screenshot, if asked.
    // Returns what was done, for a notice: where the screenshot went, or
    // that it could not be saved; empty when nothing was asked.
    std::string afterDrawing();

private:
    bool captured = true;
    int framesToIgnore = 0;
    bool screenshotAsked = false;
};
