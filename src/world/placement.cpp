#include "placement.h"

#include <climits>
#include <cmath>
#include <iomanip>
#include <sstream>
#include <stdexcept>

#include "random-sequence.h"
#include "voxel-builders.h"

namespace {

constexpr int MAX_PLACEMENT_ATTEMPTS = 50;

struct RandomSequenceDeleter {
    void operator()(int* sequence) const { raylib::UnloadRandomSequence(sequence); }
};
using RandomSequence = std::unique_ptr<int, RandomSequenceDeleter>;

// The number of voxels a cloud asks for, truncated as the count itself is;
// refuses clouds outside 1 to MAX_CLOUD_VOXELS (also NaN and infinite ones)
// before anything is drawn.
int checkedVoxelCount(float count) {
    if (count < MAX_CLOUD_VOXELS + 1.0f && count >= 1.0f) return static_cast<int>(count);
    // A whole number, written out in full: 64000000, not 6.4e+07.
    std::ostringstream why;
    why << "Voxel cloud refused: " << std::fixed << std::setprecision(0) << std::trunc(count)
        << " voxels asked for, but a cloud holds 1 to " << MAX_CLOUD_VOXELS << " voxels";
    refuse(why.str());
}

int checkedCellCount(float total) {
    if (total < static_cast<float>(INT_MAX)) return static_cast<int>(total);
    std::ostringstream why;
    why << "Voxel cloud refused: its grid of " << total << " cells is too large";
    refuse(why.str());
}

// count distinct cell numbers of [0, total - 1] from raylib's generator.
std::vector<int> drawCells(int count, int total, CellDraw cellDraw) {
    if (cellDraw == CellDraw::FAST) return drawDistinctValues(static_cast<unsigned>(count), 0, total - 1);
    RandomSequence const sequence(raylib::LoadRandomSequence(static_cast<unsigned>(count), 0, total - 1));
    if (!sequence) return {};
    return std::vector<int>(sequence.get(), sequence.get() + count);
}

}  // namespace

std::shared_ptr<AABox> placeCube(Intersector const& index, AABB const& exclusionBox, raylib::Vector3 regionMin,
                                 raylib::Vector3 regionMax, raylib::Vector3 maxSize, ColorScheme const& colors) {
    for (int attempt = 0; attempt < MAX_PLACEMENT_ATTEMPTS; ++attempt) {
        auto cube = buildRandomCube(regionMin, regionMax, maxSize);
        AABB const& box = cube->getAABB();
        // The exclusion box costs no query of the index, so it goes first.
        if (overlaps(box, exclusionBox)) continue;
        if (!index.isEmpty(box)) continue;
        cube->color = pickColor(colors);
        return cube;
    }
    throw std::runtime_error("Could not place block.");
}

int cloudVoxelCount(raylib::Vector3 extent, raylib::Vector3 voxelSize, float density) {
    float const cells =
        truncf(floorf(extent.x / voxelSize.x) * floorf(extent.y / voxelSize.y) * floorf(extent.z / voxelSize.z));
    float const fraction = density > 1.0f ? 1.0f : density;
    int const count = checkedVoxelCount(fraction * cells);
    checkedCellCount(cells);
    return count;
}

std::vector<std::shared_ptr<Entity>> placeVoxelCloud(AABB const& keepClear, raylib::Vector3 center,
                                                     raylib::Vector3 extent, raylib::Vector3 voxelSize, float density,
                                                     ColorScheme const& colors, CellDraw cellDraw) {
    float const nx = floorf(extent.x / voxelSize.x);
    float const ny = floorf(extent.y / voxelSize.y);
    float const nz = floorf(extent.z / voxelSize.z);
    float const cells = truncf(nx * ny * nz);
    int const count = cloudVoxelCount(extent, voxelSize, density);
    int const total = static_cast<int>(cells);

    std::vector<int> const sequence = drawCells(count, total, cellDraw);
    if (sequence.size() != static_cast<size_t>(count)) refuse("Voxel cloud refused: no random cells for it");

    // The cloud's boxes live in one block, which every voxel's pointer
    // shares: a voxel costs its box, not an allocation and a count of its own.
    struct Block {
        std::vector<AABox> boxes;
    };
    auto const block = std::make_shared<Block>();
    block->boxes.reserve(static_cast<size_t>(count));
    for (int const cell : sequence) {
        // Cell k stands for xi * (ny * nz) + yi * nz + zi: z varies fastest.
        float const k = static_cast<float>(cell);
        float const xi = floorf(k / (ny * nz));
        float const yi = fmodf(floorf(k / nz), ny);
        float const zi = floorf(fmodf(k, nz));
        raylib::Vector3 const position{center.x + (xi - 0.5f * nx) * voxelSize.x,
                                       center.y + (yi - 0.5f * ny) * voxelSize.y,
                                       center.z + (zi - 0.5f * nz) * voxelSize.z};
        // The colour is drawn for every cell, kept or not, so the cells that
        // are kept get the same colours as in a cloud that keeps them all.
        AABox voxel(position, voxelSize, pickColor(colors));
        if (overlaps(voxel.getAABB(), keepClear)) continue;
        block->boxes.push_back(voxel);
    }
    std::vector<std::shared_ptr<Entity>> voxels;
    voxels.reserve(block->boxes.size());
    for (AABox& voxel : block->boxes) voxels.emplace_back(block, &voxel);
    return voxels;
}
