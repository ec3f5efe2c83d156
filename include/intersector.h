#pragma once

#include <memory>
#include <vector>

#include "entity.h"

// The collision index: which entities occupy a box. It is also the world's
// list of everything that is drawn, in insertion order.
class Intersector {
public:
    virtual ~Intersector() = default;
    virtual void addEntity(std::shared_ptr<Entity> entity) = 0;
    virtual void addEntity(std::vector<std::shared_ptr<Entity>> entities) = 0;
    virtual bool isEmpty(std::shared_ptr<AABB> box) const = 0;
    virtual bool isEmpty(AABB const& box) const = 0;
    virtual int size() const = 0;
    virtual std::vector<std::shared_ptr<Entity>> getEntities() const = 0;
    virtual std::vector<std::shared_ptr<Entity>> findAllIntersections(AABB const& box) const = 0;
    virtual std::shared_ptr<Entity> findIntersection(AABB const& box) const = 0;
};
