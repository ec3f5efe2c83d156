#pragma once

#include <memory>
#include <vector>

#include "entity.h"

// The collision index: which entities occupy a box. It is also the world's
// list of everything that is drawn, in insertion order.
//
// The queries are layered through the virtual interface: isEmpty of a
// pointer asks isEmpty of the box, which asks findIntersection.
class Intersector {
public:
    virtual ~Intersector() = default;
    virtual void addEntity(std::shared_ptr<Entity> entity) = 0;
    virtual void addEntity(std::vector<std::shared_ptr<Entity>> entities) = 0;
    // No box occupies nothing.
    virtual bool isEmpty(std::shared_ptr<AABB> box) const { return !box || isEmpty(*box); }
    virtual bool isEmpty(AABB const& box) const { return findIntersection(box) == nullptr; }
    virtual int size() const = 0;
    virtual std::vector<std::shared_ptr<Entity>> getEntities() const = 0;
    // The same list without copying it, valid until an entity is added.
    virtual std::vector<std::shared_ptr<Entity>> const& entityList() const = 0;
    virtual std::vector<std::shared_ptr<Entity>> findAllIntersections(AABB const& box) const = 0;
    virtual std::shared_ptr<Entity> findIntersection(AABB const& box) const = 0;
};
