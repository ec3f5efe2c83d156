#pragma once

#include <memory>

#include "model-loader.h"

// A loaded model's meshes uploaded to the GPU, with one default material;
// the GPU side is unloaded when it is destroyed, and the CPU side stays the
// loaded model's. Needs the window for its whole life.
class ModelOnGpu {
public:
    explicit ModelOnGpu(std::shared_ptr<LoadedModel const> loaded);
    ~ModelOnGpu();
    ModelOnGpu(ModelOnGpu const&) = delete;
    ModelOnGpu& operator=(ModelOnGpu const&) = delete;

    std::shared_ptr<LoadedModel const> const loaded;
    raylib::Model model{};
};
