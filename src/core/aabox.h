#pragma once

#include "entity.h"

// A solid box of one colour: every voxel, rectangle and mountain slab.
class AABox : public Entity {
public:
    AABox(raylib::Vector3 position, raylib::Vector3 size, raylib::Color color);

    void draw() override;
    AABB const& getAABB() const override { return aabb; }
    void accept(EntityVisitor& visitor) const override { visitor.visitBox(*this); }

    raylib::Vector3 const position;
    AABB const aabb;
    // The one field that may change after construction: a placed cube is
    // coloured once its place is found.
    raylib::Color color;
};
