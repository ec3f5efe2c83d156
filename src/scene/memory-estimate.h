#pragma once

#include <cstddef>
#include <set>
#include <string>

#include "model-lookup.h"
#include "scene-description.h"

// What a scene will take of memory once it is built and drawn, counted
// from its entries before anything is built.
struct MemoryEstimate {
    // The boxes of its rects, clouds and mountains.
    size_t boxes = 0;
    // The sizes of the model files it reads (each once when models are
    // shared), on which a model's memory depends: of a packed format, the
    // size of a .vox that could hold its voxels.
    size_t modelFileBytes = 0;

    // The bytes of memory all of it takes, as measured for the largest
    // worlds: the collision index, the faces drawn and the models.
    size_t bytes() const;
};

// Counts a scene's entries into its estimate, one by one: a box for each
// rect, cloud voxel and mountain slab, the bytes of each model file (once
// when models are shared), and a box for each voxel of a solid model.
class MemoryCount {
public:
    MemoryCount(ModelPlaces places, bool sharedModels) : places(std::move(places)), sharedModels(sharedModels) {}
    void add(SceneEntry const& entry);
    MemoryEstimate estimate;

private:
    ModelPlaces places;
    bool sharedModels;
    std::set<std::string> modelsCounted;
};

MemoryEstimate estimateMemory(SceneDescription const& scene, ModelPlaces const& places, bool sharedModels);

// "1.4 GB" (10^9 bytes, to a tenth) or, below a gigabyte, "350 MB".
std::string memorySize(size_t bytes);
