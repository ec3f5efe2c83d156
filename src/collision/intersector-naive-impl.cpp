#include "intersector-naive-impl.h"

void IntersectorNaiveImpl::addEntity(std::shared_ptr<Entity> entity) {
    entities.push_back(std::move(entity));
}

void IntersectorNaiveImpl::addEntity(std::vector<std::shared_ptr<Entity>> added) {
    entities.insert(entities.end(), added.begin(), added.end());
}

int IntersectorNaiveImpl::size() const {
    return static_cast<int>(entities.size());
}

std::vector<std::shared_ptr<Entity>> IntersectorNaiveImpl::getEntities() const {
    return entities;
}

std::vector<std::shared_ptr<Entity>> IntersectorNaiveImpl::findAllIntersections(AABB const& box) const {
    std::vector<std::shared_ptr<Entity>> result;
    for (auto const& entity : entities) {
        if (overlaps(entity->getAABB(), box)) result.push_back(entity);
    }
    return result;
}

std::shared_ptr<Entity> IntersectorNaiveImpl::findIntersection(AABB const& box) const {
    auto all = findAllIntersections(box);
    if (all.empty()) return nullptr;
    return all.front();
}
