#pragma once

#include <memory>
#include <vector>

#include "aabox.h"
#include "intersector.h"
#include "random.h"

// The most voxels one cloud may hold.
inline constexpr int MAX_CLOUD_VOXELS = 100000;

// A random cube in the region that touches neither exclusionBox nor any
// entity of the index; its colour is drawn from the scheme once it is
// placed. Throws std::runtime_error("Could not place block.") after 50
// failed attempts.
std::shared_ptr<AABox> placeCube(Intersector const& index, AABB const& exclusionBox, raylib::Vector3 regionMin,
                                 raylib::Vector3 regionMax, raylib::Vector3 maxSize, ColorScheme const& colors);

// How a cloud's random cells are drawn: with a bitmap of the cells taken,
// or with raylib's LoadRandomSequence (the same cells, in quadratic time).
enum class CellDraw { FAST, RAYLIB };

// The voxels of one cloud: a random set of distinct cells of the grid of
// voxelSize cells over extent around center, density the fraction filled.
// Cells whose voxel would overlap keepClear (the player's body) are left
// empty. A cloud of fewer than 1 or more than MAX_CLOUD_VOXELS voxels is
// refused with std::runtime_error.
// The number of voxels such a cloud asks for, before any is left out for
// keepClear; refused as placeVoxelCloud refuses.
int cloudVoxelCount(raylib::Vector3 extent, raylib::Vector3 voxelSize, float density);

std::vector<std::shared_ptr<Entity>> placeVoxelCloud(AABB const& keepClear, raylib::Vector3 center,
                                                     raylib::Vector3 extent, raylib::Vector3 voxelSize, float density,
                                                     ColorScheme const& colors, CellDraw cellDraw = CellDraw::FAST);
