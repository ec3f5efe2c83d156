#pragma once

#include <memory>
#include <string>

#include "entity.h"
#include "model-loader.h"

// An entity drawn from a model file, its bounding-box centre on position and
// its collision box the model's bounding box scaled and moved there. Every
// entity of one file shares one loaded model, unloaded when the last of
// them goes.
class ModelEntity : public Entity {
public:
    ModelEntity(raylib::Vector3 position, float scale, std::string path);
    ModelEntity(ModelEntity const&) = delete;
    ModelEntity& operator=(ModelEntity const&) = delete;

    void draw() override;
    AABB const& getAABB() const override { return aabb; }
    // Where the model's origin goes so that its bounding-box centre lands
    // on position.
    raylib::Vector3 drawPosition() const;

    raylib::Vector3 const position;
    float const scale;
    std::shared_ptr<LoadedModel const> const loaded;
    raylib::Model const& model;
    AABB aabb;

private:
    raylib::Vector3 scaledSize() const;
};
