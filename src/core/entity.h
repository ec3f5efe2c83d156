#pragma once

#include "aabb.h"

// Something in the world that draws itself and occupies a box.
class Entity {
public:
    virtual ~Entity() = default;
    virtual void draw() = 0;
    virtual AABB const& getAABB() const = 0;
};
