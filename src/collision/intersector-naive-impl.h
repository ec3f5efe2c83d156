#pragma once

#include "intersector.h"

// The reference index: a flat list scanned in full for every query.
// findIntersection asks findAllIntersections through the virtual interface,
// so a subclass that overrides findAllIntersections changes every query.
class IntersectorNaiveImpl : public Intersector {
public:
    void addEntity(std::shared_ptr<Entity> entity) override;
    void addEntity(std::vector<std::shared_ptr<Entity>> entities) override;
    int size() const override;
    std::vector<std::shared_ptr<Entity>> getEntities() const override;
    std::vector<std::shared_ptr<Entity>> const& entityList() const override { return entities; }
    std::vector<std::shared_ptr<Entity>> findAllIntersections(AABB const& box) const override;
    std::shared_ptr<Entity> findIntersection(AABB const& box) const override;

private:
    std::vector<std::shared_ptr<Entity>> entities;
};
