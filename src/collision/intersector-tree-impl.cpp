#include "intersector-tree-impl.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <optional>

#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <boost/iterator/function_output_iterator.hpp>

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;

namespace {

// Boxes of floats, as the entities' are: half the size of doubles.
using Point = bg::model::point<float, 3, bg::cs::cartesian>;
using Box = bg::model::box<Point>;
using Value = std::pair<Box, int>;
// Nodes of 16 entries split by the quadratic rule: quick to insert into, and
// a packed tree of a million boxes is five levels deep.
using RTree = bgi::rtree<Value, bgi::quadratic<16>>;

// An infinite corner held at the largest float, so the tree's volumes stay
// finite; the order of the corners is kept.
float held(float coordinate) {
    return std::clamp(coordinate, -FLT_MAX, FLT_MAX);
}

// The span a box covers on each axis between its smaller and larger corner;
// none for a box with a NaN.
std::optional<Box> spanOf(AABB const& box) {
    float const low[3] = {box.min.x, box.min.y, box.min.z};
    float const high[3] = {box.max.x, box.max.y, box.max.z};
    float min[3], max[3];
    for (int axis = 0; axis < 3; ++axis) {
        if (std::isnan(low[axis]) || std::isnan(high[axis])) return std::nullopt;
        float const a = held(low[axis]), b = held(high[axis]);
        min[axis] = std::min(a, b);
        max[axis] = std::max(a, b);
    }
    return Box(Point(min[0], min[1], min[2]), Point(max[0], max[1], max[2]));
}

}  // namespace

struct IntersectorTreeImpl::Tree {
    RTree rtree;
};

IntersectorTreeImpl::IntersectorTreeImpl() : tree(std::make_unique<Tree>()) {}

IntersectorTreeImpl::~IntersectorTreeImpl() = default;

void IntersectorTreeImpl::addEntity(std::shared_ptr<Entity> entity) {
    entities.push_back(std::move(entity));
}

void IntersectorTreeImpl::addEntity(std::vector<std::shared_ptr<Entity>> added) {
    entities.insert(entities.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
}

int IntersectorTreeImpl::size() const {
    return static_cast<int>(entities.size());
}

std::vector<std::shared_ptr<Entity>> IntersectorTreeImpl::getEntities() const {
    return entities;
}

void IntersectorTreeImpl::gatherCandidates(AABB const& box) const {
    scratch.clear();
    if (indexed < entities.size()) {
        std::vector<Value> waiting;
        waiting.reserve(entities.size() - indexed);
        for (size_t id = indexed; id < entities.size(); ++id) {
            if (auto const span = spanOf(entities[id]->getAABB())) waiting.emplace_back(*span, static_cast<int>(id));
        }
        if (waiting.size() >= tree->rtree.size()) {
            waiting.insert(waiting.end(), tree->rtree.begin(), tree->rtree.end());
            tree->rtree = RTree(waiting);  // packed
        } else {
            tree->rtree.insert(waiting);
        }
        indexed = entities.size();
    }
    auto const span = spanOf(box);
    if (!span) return;  // a NaN overlaps nothing
    auto const keep = [&](Value const& value) { scratch.push_back(value.second); };
    tree->rtree.query(bgi::intersects(*span), boost::make_function_output_iterator(keep));
}

std::vector<std::shared_ptr<Entity>> IntersectorTreeImpl::findAllIntersections(AABB const& box) const {
    gatherCandidates(box);
    std::sort(scratch.begin(), scratch.end());
    std::vector<std::shared_ptr<Entity>> result;
    for (int const id : scratch) {
        if (overlaps(entities[id]->getAABB(), box)) result.push_back(entities[id]);
    }
    return result;
}

std::shared_ptr<Entity> IntersectorTreeImpl::findIntersection(AABB const& box) const {
    gatherCandidates(box);
    int first = -1;
    for (int const id : scratch) {
        if ((first < 0 || id < first) && overlaps(entities[id]->getAABB(), box)) first = id;
    }
    return first < 0 ? nullptr : entities[first];
}
