#include "world.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "intersector-naive-impl.h"
#include "intersector-tree-impl.h"

namespace {

std::shared_ptr<Intersector> makeIndex(WorldOptions const& options) {
    if (options.fastIndex) return std::make_shared<IntersectorTreeImpl>();
    return std::make_shared<IntersectorNaiveImpl>();
}

}  // namespace

World::World(std::shared_ptr<Player> player, WorldOptions options)
    : player(std::move(player)), intersector(makeIndex(options)), options(options) {}

std::shared_ptr<AABox> World::generateValidCube(AABB const& exclusionBox, raylib::Vector3 regionMin,
                                                raylib::Vector3 regionMax, raylib::Vector3 maxSize,
                                                ColorScheme colors) const {
    return placeCube(*intersector, exclusionBox, regionMin, regionMax, maxSize, colors);
}

std::vector<std::shared_ptr<Entity>> const World::generateValidVoxels(AABB keepClear, raylib::Vector3 center,
                                                                      raylib::Vector3 extent, raylib::Vector3 voxelSize,
                                                                      float density, ColorScheme colors) const {
    return placeVoxelCloud(keepClear, center, extent, voxelSize, density, colors,
                           options.fastCellDraw ? CellDraw::FAST : CellDraw::RAYLIB);
}

float lowestPoint(Intersector const& index) {
    float lowest = std::numeric_limits<float>::infinity();
    for (auto const& entity : index.entityList()) {
        AABB const& box = entity->getAABB();
        // A box of no room may have its corners the wrong way round.
        float const bottom = std::min(box.min.y, box.max.y);
        if (!std::isnan(bottom)) lowest = std::min(lowest, bottom);
    }
    return std::isinf(lowest) ? 0.0f : lowest;
}

bool groundUnderStart(Intersector const& index, raylib::Vector3 eye) {
    Player standing;
    standing.placeAt(eye);
    AABB const body = standing.aabb;
    float const bottom = std::min(lowestPoint(index), body.min.y) - 1;
    raylib::Vector3 const below{body.max.x - body.min.x, body.min.y - bottom, body.max.z - body.min.z};
    return index.findIntersection(AABB({eye.x, bottom + below.y / 2, eye.z}, below)) != nullptr;
}
