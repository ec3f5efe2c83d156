#pragma once

#include <memory>

#include "model-loader.h"

// A loaded model's meshes uploaded to the GPU, with one default material;
// the GPU side is unloaded when it is destroyed, and the CPU side stays the
// loaded model's. Its shaded meshes are uploaded when first asked for.
// Needs the window for its whole life.
class ModelOnGpu {
public:
    explicit ModelOnGpu(std::shared_ptr<LoadedModel const> loaded);
    ~ModelOnGpu();
    ModelOnGpu(ModelOnGpu const&) = delete;
    ModelOnGpu& operator=(ModelOnGpu const&) = delete;

    raylib::Model const& shadedModel();
    // The texture of the shaded meshes' corners' shades, linearly filtered,
    // uploaded with them; id 0 without one.
    raylib::Texture2D shadeTexture() const;

    std::shared_ptr<LoadedModel const> const loaded;
    raylib::Model model{};

private:
    raylib::Model shaded{};
    raylib::Texture2D shades{};
};
