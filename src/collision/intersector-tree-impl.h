#pragma once

#include <memory>
#include <vector>

#include "intersector.h"

// A collision index that answers every query exactly as the full scan of
// IntersectorNaiveImpl does (the same entities, in insertion order, with
// duplicates; touching counts; NaN overlaps nothing; inverted and infinite
// boxes as stored), at a cost that depends neither on the number of entities
// nor on their sizes.
//
// The entities' boxes are kept in an R-tree (Boost.Geometry's), each under
// its insertion number and spanning, on each axis, from the smaller to the
// larger of its two corners, infinities held at the largest float. Any box
// the overlap test accepts meets that span, so the tree finds every
// candidate; the overlap test then decides on the boxes as stored. Boxes
// with a NaN overlap nothing and are never put in the tree.
//
// Added entities wait in a list until the next query. The query brings the
// tree up to date: it is packed anew from all its boxes when the waiting
// ones are at least as many as those already in it, so that loading a scene
// costs a sort, not a tree insertion a box; otherwise they are inserted.
class IntersectorTreeImpl : public Intersector {
public:
    IntersectorTreeImpl();
    ~IntersectorTreeImpl() override;

    void addEntity(std::shared_ptr<Entity> entity) override;
    void addEntity(std::vector<std::shared_ptr<Entity>> entities) override;
    int size() const override;
    std::vector<std::shared_ptr<Entity>> getEntities() const override;
    std::vector<std::shared_ptr<Entity>> const& entityList() const override { return entities; }
    std::vector<std::shared_ptr<Entity>> findAllIntersections(AABB const& box) const override;
    std::shared_ptr<Entity> findIntersection(AABB const& box) const override;

private:
    struct Tree;
    // The insertion numbers of the entities that may overlap the box, in no
    // particular order, in scratch.
    void gatherCandidates(AABB const& box) const;

    std::vector<std::shared_ptr<Entity>> entities;
    // The tree holds the entities before this insertion number.
    mutable size_t indexed = 0;
    std::unique_ptr<Tree> tree;
    mutable std::vector<int> scratch;
};
