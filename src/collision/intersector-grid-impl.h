#pragma once

#include <cstdint>
#include <unordered_map>

#include "intersector.h"

// A collision index that answers every query exactly as the full scan of
// IntersectorNaiveImpl does (same entities, insertion order, inclusive
// bounds, NaN and inverted boxes as stored, duplicates), but looks only at
// the entities registered in the grid cells a query box covers.
//
// Each entity is registered, by its insertion number, in every cell of a
// uniform grid that its box covers on each axis between the smaller and the
// larger of its two corners: any box the overlap test can accept covers
// those intervals too. Boxes with a NaN corner overlap nothing and are not
// registered; boxes covering too many cells, or lying beyond the grid, are
// kept in a list that every query looks at.
class IntersectorGridImpl : public Intersector {
public:
    explicit IntersectorGridImpl(float cellSize = 1.0f);

    void addEntity(std::shared_ptr<Entity> entity) override;
    void addEntity(std::vector<std::shared_ptr<Entity>> entities) override;
    int size() const override;
    std::vector<std::shared_ptr<Entity>> getEntities() const override;
    std::vector<std::shared_ptr<Entity>> findAllIntersections(AABB const& box) const override;
    std::shared_ptr<Entity> findIntersection(AABB const& box) const override;

private:
    struct CellRange {
        int64_t low[3];
        int64_t high[3];
        int64_t cellCount() const {
            return (high[0] - low[0] + 1) * (high[1] - low[1] + 1) * (high[2] - low[2] + 1);
        }
    };
    enum class Reach { NOTHING, CELLS, EVERYWHERE };

    Reach cellsOf(AABB const& box, CellRange& range) const;
    // The insertion numbers worth testing against box, ascending, in scratch;
    // false when every entity must be tested.
    bool gatherCandidates(AABB const& box) const;

    float const cellSize;
    std::vector<std::shared_ptr<Entity>> entities;
    std::unordered_map<uint64_t, std::vector<int>> cells;
    std::vector<int> everywhere;
    mutable std::vector<int> scratch;
};
