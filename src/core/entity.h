#pragma once

#include "aabb.h"

class AABox;
class ModelEntity;
class Entity;

// What an entity is, for code that treats the kinds apart (a renderer, a
// digest of the world): each kind of entity calls its own member.
class EntityVisitor {
public:
    virtual ~EntityVisitor() = default;
    virtual void visitBox(AABox const&) {}
    virtual void visitModel(ModelEntity const&) {}
    // Anything else that draws itself.
    virtual void visitOther(Entity const&) {}
};

// Something in the world that draws itself and occupies a box.
class Entity {
public:
    virtual ~Entity() = default;
    virtual void draw() = 0;
    virtual AABB const& getAABB() const = 0;
    virtual void accept(EntityVisitor& visitor) const { visitor.visitOther(*this); }
};
