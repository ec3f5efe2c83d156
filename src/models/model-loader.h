#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "model-formats.h"
#include "raylib-api.h"
#include "vox-mesh.h"

// A .vox model read, checked and meshed on the CPU: a mesh for each side its
// faces point to, no material, nothing on the GPU (a renderer uploads its own
// copy). A file that cannot be read or is refused is logged once, naming it
// and what is wrong, and gives a model without meshes, so the game goes on.
class LoadedModel {
public:
    // A model of a format without colours (binvox) shows the plain one.
    explicit LoadedModel(std::string const& path, raylib::Color plain = PLAIN_MODEL_GREY);
    ~LoadedModel();
    LoadedModel(LoadedModel const&) = delete;
    LoadedModel& operator=(LoadedModel const&) = delete;

    raylib::Model const model;
    // The box its meshes span, as GetModelBoundingBox gives it: taken once,
    // for whoever places the model every frame.
    raylib::BoundingBox const bounds;
    // The boxes its voxels fill, merged into few, in the units of its meshes:
    // what a model that can be walked into collides with.
    std::vector<raylib::BoundingBox> const solidBoxes;
    // Why the file gives no meshes; empty when it loaded.
    std::string const problem;
    // Why a model that loaded shows nothing: it has no voxels, or all of
    // them are transparent. Empty when some voxel shows.
    std::string const warning;
    // Its voxels, as they are drawn: every model of its scene placed.
    size_t const voxels;

    // Its meshes with each face's corners shaded by the voxels around them
    // (as the rich looks draw it), built on the first call; its plain ones
    // when they cannot be shaded.
    raylib::Model const& shadedModel() const;
    // The shades the shaded meshes' texture coordinates point into; none
    // without shaded meshes.
    CornerShades const& cornerShades() const;
    // How many of the shaded model's meshes, the last ones, are of glass:
    // drawn after everything else, showing what lies behind.
    int shadedGlassMeshes() const;
    // Where its emissive voxels glow, in the units of its meshes.
    std::vector<GlowPoint> const& glows() const;
    // Whether some of its shaded faces have a metal's sheen.
    bool shadedSheen() const;

    // What reading a file gives.
    struct Read;

private:
    explicit LoadedModel(Read read);

    // The voxels, kept for the shaded meshes.
    std::shared_ptr<VoxelGrid const> const grid;
    mutable std::once_flag shadedOnce;
    mutable raylib::Model shaded{};
    mutable int shadedGlass = 0;
    mutable bool sheen = false;
    mutable std::vector<GlowPoint> glowPoints;
    mutable CornerShades shades;
};

// Models loaded once and shared by everyone who asks for the same file,
// unchanged since, while any of them still holds it: a file is known by its
// path and when it was last written, so an edited model is read again, and
// by the plain colour it was read with.
class ModelCache {
public:
    std::shared_ptr<LoadedModel const> get(std::string const& path, raylib::Color plain = PLAIN_MODEL_GREY);

private:
    std::map<std::tuple<std::string, long long, uint32_t>, std::weak_ptr<LoadedModel const>> loaded;
};
