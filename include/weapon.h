#pragma once

#include "raylib-api.h"

// A model drawn in the player's view, next to the eye and turned to where
// the viewer looks.
class Weapon {
public:
    virtual ~Weapon() = default;
    virtual void draw(raylib::Vector3 anchor, raylib::Vector3 aimPoint) = 0;
};
