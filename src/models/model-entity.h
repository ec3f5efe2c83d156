#pragma once

#include <memory>
#include <string>
#include <vector>

#include "entity.h"
#include "model-loader.h"

// An entity drawn from a model file, its bounding-box centre on position and
// its collision box the model's bounding box scaled and moved there.
class ModelEntity : public Entity {
public:
    // Reads the model file itself.
    ModelEntity(raylib::Vector3 position, float scale, std::string path);
    // Uses a model already read from the file at path, shared with others.
    ModelEntity(raylib::Vector3 position, float scale, std::string const& path,
                std::shared_ptr<LoadedModel const> loaded);
    ModelEntity(ModelEntity const&) = delete;
    ModelEntity& operator=(ModelEntity const&) = delete;

    // Draws the model's faces one by one, through raylib's batch, with the
    // shader of the moment: the way a box draws itself. A renderer draws
    // the model faster from a copy on the GPU.
    void draw() override;
    AABB const& getAABB() const override { return aabb; }
    void accept(EntityVisitor& visitor) const override { visitor.visitModel(*this); }
    // Where the model's origin goes so that its bounding-box centre lands
    // on position.
    raylib::Vector3 drawPosition() const;
    // The box the model is drawn in: its bounding box, scaled and centred on
    // position.
    AABB drawnBox() const { return AABB(position, scaledSize()); }
    // The entities a solid model collides with instead of its box, so that
    // it can be walked into: the boxes of its voxels, where it is drawn.
    std::vector<std::shared_ptr<Entity>> solidBoxes() const;

    raylib::Vector3 const position;
    float const scale;
    // The file it was read from.
    std::string const path;
    std::shared_ptr<LoadedModel const> const loaded;
    raylib::Model const& model;
    AABB aabb;

private:
    raylib::Vector3 scaledSize() const;
};

// A box of a solid model's voxels: it collides, and the model draws it.
class SolidVoxels : public Entity {
public:
    explicit SolidVoxels(AABB const& box) : box(box) {}
    void draw() override {}
    AABB const& getAABB() const override { return box; }
    // Nothing to draw, nor to tell apart.
    void accept(EntityVisitor&) const override {}

private:
    AABB const box;
};
