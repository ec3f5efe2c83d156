#pragma once

#include "intersector.h"

// The reference index: a flat list scanned in full for every query.
// The queries are layered through the virtual interface (isEmpty calls
// findIntersection, which calls findAllIntersections), so a subclass that
// overrides findAllIntersections changes all of them.
class IntersectorNaiveImpl : public Intersector {
public:
    void addEntity(std::shared_ptr<Entity> entity) override;
    void addEntity(std::vector<std::shared_ptr<Entity>> entities) override;
    bool isEmpty(std::shared_ptr<AABB> box) const override;
    bool isEmpty(AABB const& box) const override;
    int size() const override;
    std::vector<std::shared_ptr<Entity>> getEntities() const override;
    std::vector<std::shared_ptr<Entity>> findAllIntersections(AABB const& box) const override;
    std::shared_ptr<Entity> findIntersection(AABB const& box) const override;

private:
    std::vector<std::shared_ptr<Entity>> entities;
};
