#include "world.h"

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
