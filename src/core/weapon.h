#pragma once

#include "raylib-api.h"

// Something drawn in the player's view, next to the eye and turned to where
// the viewer looks. The player may hold one; the renderer draws it.
class Weapon {
public:
    virtual ~Weapon() = default;
    virtual void draw(raylib::Vector3 anchor, raylib::Vector3 aimPoint) = 0;
};
