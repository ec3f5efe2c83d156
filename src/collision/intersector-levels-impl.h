#pragma once

#include <cstdint>
#include <unordered_map>

#include "intersector.h"

// A hierarchical grid: levels of cubic cells whose sides double from one
// level to the next. Each entity goes in the level where its box spans at
// most two cells an axis; a query looks at the cells it covers in every
// level that holds entities. Answers as the full scan does.
class IntersectorLevelsImpl : public Intersector {
public:
    void addEntity(std::shared_ptr<Entity> entity) override;
    void addEntity(std::vector<std::shared_ptr<Entity>> entities) override;
    int size() const override;
    std::vector<std::shared_ptr<Entity>> getEntities() const override;
    std::vector<std::shared_ptr<Entity>> findAllIntersections(AABB const& box) const override;
    std::shared_ptr<Entity> findIntersection(AABB const& box) const override;

private:
    void gatherCandidates(AABB const& box) const;

    std::vector<std::shared_ptr<Entity>> entities;
    // Cells by level and packed cell coordinates.
    std::unordered_map<uint64_t, std::vector<int>> cells;
    uint64_t levelsInUse = 0;
    std::vector<int> everywhere;
    mutable std::vector<int> scratch;
};
