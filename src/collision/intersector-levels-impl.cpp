#include "intersector-levels-impl.h"

#include <algorithm>
#include <cmath>

namespace {

// Level 0 has cells of 2^-8 units; level 47, of 2^39.
constexpr int LEVELS = 48;
constexpr int FINEST = -8;
// Cell coordinates are packed 19 bits an axis, the level above them.
constexpr int64_t LIMIT = int64_t{1} << 18;

uint64_t keyOf(int level, int64_t x, int64_t y, int64_t z) {
    return (static_cast<uint64_t>(level) << 57) | (static_cast<uint64_t>(x + LIMIT) << 38) |
           (static_cast<uint64_t>(y + LIMIT) << 19) | static_cast<uint64_t>(z + LIMIT);
}

struct Span {
    bool nan = false;
    double low[3], high[3];
};

Span spanOf(AABB const& box) {
    Span span;
    float const a[3] = {box.min.x, box.min.y, box.min.z}, b[3] = {box.max.x, box.max.y, box.max.z};
    for (int axis = 0; axis < 3; ++axis) {
        if (std::isnan(a[axis]) || std::isnan(b[axis])) span.nan = true;
        span.low[axis] = std::min(a[axis], b[axis]);
        span.high[axis] = std::max(a[axis], b[axis]);
    }
    return span;
}

// The cells of a level a span covers, or false when they lie beyond the grid.
bool cellRange(Span const& span, int level, int64_t low[3], int64_t high[3]) {
    double const side = std::ldexp(1.0, level + FINEST);
    for (int axis = 0; axis < 3; ++axis) {
        double const l = std::floor(span.low[axis] / side), h = std::floor(span.high[axis] / side);
        if (!(l > -LIMIT && h < LIMIT)) return false;
        low[axis] = static_cast<int64_t>(l);
        high[axis] = static_cast<int64_t>(h);
    }
    return true;
}

template <typename Visit>
void forEachCell(int level, int64_t const low[3], int64_t const high[3], Visit visit) {
    for (int64_t x = low[0]; x <= high[0]; ++x)
        for (int64_t y = low[1]; y <= high[1]; ++y)
            for (int64_t z = low[2]; z <= high[2]; ++z) visit(keyOf(level, x, y, z));
}

}  // namespace

void IntersectorLevelsImpl::addEntity(std::shared_ptr<Entity> entity) {
    int const id = static_cast<int>(entities.size());
    Span const span = spanOf(entity->getAABB());
    entities.push_back(std::move(entity));
    if (span.nan) return;
    double const extent = std::max({span.high[0] - span.low[0], span.high[1] - span.low[1], span.high[2] - span.low[2]});
    int level = std::max(0, static_cast<int>(std::ceil(std::log2(std::max(extent, 1e-30)))) - FINEST);
    int64_t low[3], high[3];
    if (level >= LEVELS || !cellRange(span, level, low, high)) {
        everywhere.push_back(id);
        return;
    }
    levelsInUse |= uint64_t{1} << level;
    forEachCell(level, low, high, [&](uint64_t key) { cells[key].push_back(id); });
}

void IntersectorLevelsImpl::addEntity(std::vector<std::shared_ptr<Entity>> added) {
    for (auto& entity : added) addEntity(std::move(entity));
}

int IntersectorLevelsImpl::size() const {
    return static_cast<int>(entities.size());
}

std::vector<std::shared_ptr<Entity>> IntersectorLevelsImpl::getEntities() const {
    return entities;
}

void IntersectorLevelsImpl::gatherCandidates(AABB const& box) const {
    scratch.clear();
    Span const span = spanOf(box);
    if (span.nan) return;
    for (int level = 0; level < LEVELS; ++level) {
        if (!(levelsInUse >> level & 1)) continue;
        int64_t low[3], high[3];
        if (!cellRange(span, level, low, high) ||
            (high[0] - low[0] + 1) * (high[1] - low[1] + 1) * (high[2] - low[2] + 1) > 4096) {
            // A query too large for this level's cells: every entity is a candidate.
            scratch.resize(entities.size());
            for (size_t id = 0; id < entities.size(); ++id) scratch[id] = static_cast<int>(id);
            return;
        }
        forEachCell(level, low, high, [&](uint64_t key) {
            auto const cell = cells.find(key);
            if (cell != cells.end()) scratch.insert(scratch.end(), cell->second.begin(), cell->second.end());
        });
    }
    scratch.insert(scratch.end(), everywhere.begin(), everywhere.end());
    std::sort(scratch.begin(), scratch.end());
    scratch.erase(std::unique(scratch.begin(), scratch.end()), scratch.end());
}

std::vector<std::shared_ptr<Entity>> IntersectorLevelsImpl::findAllIntersections(AABB const& box) const {
    gatherCandidates(box);
    std::vector<std::shared_ptr<Entity>> result;
    for (int const id : scratch) {
        if (overlaps(entities[id]->getAABB(), box)) result.push_back(entities[id]);
    }
    return result;
}

std::shared_ptr<Entity> IntersectorLevelsImpl::findIntersection(AABB const& box) const {
    gatherCandidates(box);
    for (int const id : scratch) {
        if (overlaps(entities[id]->getAABB(), box)) return entities[id];
    }
    return nullptr;
}
