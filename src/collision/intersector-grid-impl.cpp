#include "intersector-grid-impl.h"

#include <algorithm>
#include <cmath>

namespace {

// Cell coordinates are packed 21 bits an axis.
constexpr int64_t CELL_LIMIT = int64_t{1} << 20;
// An entity covering more cells than this is looked at by every query.
constexpr int64_t MAX_CELLS_PER_ENTITY = 64;
// A query covering more cells than this tests every entity instead.
constexpr int64_t MAX_CELLS_PER_QUERY = 4096;

uint64_t cellKey(int64_t x, int64_t y, int64_t z) {
    return (static_cast<uint64_t>(x + CELL_LIMIT) << 42) | (static_cast<uint64_t>(y + CELL_LIMIT) << 21) |
           static_cast<uint64_t>(z + CELL_LIMIT);
}

template <typename Visit>
void forEachCell(int64_t const low[3], int64_t const high[3], Visit visit) {
    for (int64_t x = low[0]; x <= high[0]; ++x)
        for (int64_t y = low[1]; y <= high[1]; ++y)
            for (int64_t z = low[2]; z <= high[2]; ++z) visit(cellKey(x, y, z));
}

}  // namespace

IntersectorGridImpl::IntersectorGridImpl(float cellSize) : cellSize(cellSize) {}

IntersectorGridImpl::Reach IntersectorGridImpl::cellsOf(AABB const& box, CellRange& range) const {
    float const corners[2][3] = {{box.min.x, box.min.y, box.min.z}, {box.max.x, box.max.y, box.max.z}};
    for (int axis = 0; axis < 3; ++axis) {
        float const a = corners[0][axis], b = corners[1][axis];
        if (std::isnan(a) || std::isnan(b)) return Reach::NOTHING;
        double const low = std::floor(std::min(a, b) / static_cast<double>(cellSize));
        double const high = std::floor(std::max(a, b) / static_cast<double>(cellSize));
        if (!(low > -CELL_LIMIT && high < CELL_LIMIT)) return Reach::EVERYWHERE;
        range.low[axis] = static_cast<int64_t>(low);
        range.high[axis] = static_cast<int64_t>(high);
    }
    return Reach::CELLS;
}

void IntersectorGridImpl::addEntity(std::shared_ptr<Entity> entity) {
    int const id = static_cast<int>(entities.size());
    CellRange range;
    switch (cellsOf(entity->getAABB(), range)) {
    case Reach::NOTHING: break;
    case Reach::EVERYWHERE: everywhere.push_back(id); break;
    case Reach::CELLS: {
        if (range.cellCount() > MAX_CELLS_PER_ENTITY) {
            everywhere.push_back(id);
        } else {
            forEachCell(range.low, range.high, [&](uint64_t key) { cells[key].push_back(id); });
        }
        break;
    }
    }
    entities.push_back(std::move(entity));
}

void IntersectorGridImpl::addEntity(std::vector<std::shared_ptr<Entity>> added) {
    entities.reserve(entities.size() + added.size());
    for (auto& entity : added) addEntity(std::move(entity));
}

int IntersectorGridImpl::size() const {
    return static_cast<int>(entities.size());
}

std::vector<std::shared_ptr<Entity>> IntersectorGridImpl::getEntities() const {
    return entities;
}

bool IntersectorGridImpl::gatherCandidates(AABB const& box) const {
    scratch.clear();
    CellRange range;
    switch (cellsOf(box, range)) {
    case Reach::NOTHING: return true;  // a NaN corner: nothing can overlap
    case Reach::EVERYWHERE: return false;
    case Reach::CELLS: break;
    }
    if (range.cellCount() > MAX_CELLS_PER_QUERY) return false;

    forEachCell(range.low, range.high, [&](uint64_t key) {
        auto const cell = cells.find(key);
        if (cell != cells.end()) scratch.insert(scratch.end(), cell->second.begin(), cell->second.end());
    });
    scratch.insert(scratch.end(), everywhere.begin(), everywhere.end());
    // An entity covering several cells is found once per cell.
    std::sort(scratch.begin(), scratch.end());
    scratch.erase(std::unique(scratch.begin(), scratch.end()), scratch.end());
    return true;
}

std::vector<std::shared_ptr<Entity>> IntersectorGridImpl::findAllIntersections(AABB const& box) const {
    std::vector<std::shared_ptr<Entity>> result;
    if (gatherCandidates(box)) {
        for (int const id : scratch) {
            if (overlaps(entities[id]->getAABB(), box)) result.push_back(entities[id]);
        }
    } else {
        for (auto const& entity : entities) {
            if (overlaps(entity->getAABB(), box)) result.push_back(entity);
        }
    }
    return result;
}

std::shared_ptr<Entity> IntersectorGridImpl::findIntersection(AABB const& box) const {
    if (gatherCandidates(box)) {
        for (int const id : scratch) {
            if (overlaps(entities[id]->getAABB(), box)) return entities[id];
        }
        return nullptr;
    }
    for (auto const& entity : entities) {
        if (overlaps(entity->getAABB(), box)) return entity;
    }
    return nullptr;
}
