#include "memory-estimate.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <variant>

#include "placement.h"
#include "vox-file.h"
#include "voxel-builders.h"

namespace {

// A box costs its entity and the pointer to it, its place in the collision
// index, and up to six faces drawn (four corners of 16 bytes each); the
// figures are those of million-bench, rounded up, with faces of 28 bytes,
// and the 216 bytes more that six faces of corners take.
constexpr size_t BYTES_PER_BOX = 536;
// A model takes its voxels, its meshes and their copies for the GPU: a few
// times the bytes of its file, whose voxels take 4 bytes each.
constexpr size_t BYTES_PER_MODEL_FILE_BYTE = 8;
constexpr size_t BYTES_PER_VOXEL = 4;
// The other editors' formats pack their voxels (runs, zlib, gzip) where a
// .vox lists each: their files count as the .vox of this many times their
// size would, up to the largest .vox, whose voxels are as many as any
// model may hold.
constexpr size_t PACKED_EXPANSION = 64;

// The bytes of the .vox that would hold as many voxels as the model file.
size_t voxBytesOf(std::string const& path, size_t fileBytes) {
    if (std::filesystem::path(path).extension() == ".vox") return fileBytes;
    return std::min(fileBytes * PACKED_EXPANSION, MAX_VOX_FILE_BYTES);
}

// The voxels of a cloud; 0 for one its builder refuses, which is a problem
// of its own.
size_t cloudBoxes(CloudEntry const& cloud) {
    try {
        return static_cast<size_t>(cloudVoxelCount(cloud.extent, cloud.voxelSize, cloud.density));
    } catch (std::runtime_error const&) {
        return 0;
    }
}

size_t mountainBoxes(MountainEntry const& mountain) {
    try {
        return buildMountain(mountain.position, mountain.size).size();
    } catch (std::runtime_error const&) {
        return 0;
    }
}

}  // namespace

size_t MemoryEstimate::bytes() const {
    return boxes * BYTES_PER_BOX + modelFileBytes * BYTES_PER_MODEL_FILE_BYTE;
}

void MemoryCount::add(SceneEntry const& entry) {
    if (std::holds_alternative<RectEntry>(entry.fields)) estimate.boxes += 1;
    if (auto const* cloud = std::get_if<CloudEntry>(&entry.fields)) estimate.boxes += cloudBoxes(*cloud);
    if (auto const* mountain = std::get_if<MountainEntry>(&entry.fields)) estimate.boxes += mountainBoxes(*mountain);
    auto const* model = std::get_if<ModelEntry>(&entry.fields);
    if (!model) return;
    ModelLookup const lookup = lookUpModel(model->name, places);
    std::error_code unknown;
    uintmax_t const fileBytes = lookup.outside ? 0 : std::filesystem::file_size(lookup.path, unknown);
    size_t const counted = unknown ? 0 : voxBytesOf(lookup.path, static_cast<size_t>(fileBytes));
    if (!sharedModels || modelsCounted.insert(lookup.path).second) estimate.modelFileBytes += counted;
    if (model->solid) estimate.boxes += counted / BYTES_PER_VOXEL;
}

MemoryEstimate estimateMemory(SceneDescription const& scene, ModelPlaces const& places, bool sharedModels) {
    MemoryCount count(places, sharedModels);
    for (SceneEntry const& entry : scene.entries) count.add(entry);
    return count.estimate;
}

std::string memorySize(size_t bytes) {
    char text[32];
    if (bytes >= 1000000000) {
        std::snprintf(text, sizeof text, "%.1f GB", static_cast<double>(bytes) / 1e9);
    } else {
        std::snprintf(text, sizeof text, "%.0f MB", static_cast<double>(bytes) / 1e6);
    }
    return text;
}
