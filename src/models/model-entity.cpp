#include "model-entity.h"

#include <iomanip>
#include <iostream>

namespace raylib {
#include <rlgl.h>
}

ModelEntity::ModelEntity(raylib::Vector3 position, float scale, std::string path)
    : ModelEntity(position, scale, path, std::make_shared<LoadedModel const>(path)) {}

ModelEntity::ModelEntity(raylib::Vector3 position, float scale, std::string const& path,
                         std::shared_ptr<LoadedModel const> loaded)
    : position(position), scale(scale), path(path), loaded(std::move(loaded)), model(this->loaded->model) {
    aabb = drawnBox();

    raylib::Vector3 const size = scaledSize();
    std::clog << std::setprecision(3) << std::defaultfloat << "DEBUG: Model [" << path << "] "
              << "Dimensions: "
              << "(" << static_cast<double>(size.x) << ", " << static_cast<double>(size.y) << ", "
              << static_cast<double>(size.z) << ")" << std::endl;
}

// The model's bounding-box size times the scale: the difference first, then
// the product.
raylib::Vector3 ModelEntity::scaledSize() const {
    raylib::BoundingBox const bounds = raylib::GetModelBoundingBox(model);
    return {(bounds.max.x - bounds.min.x) * scale, (bounds.max.y - bounds.min.y) * scale,
            (bounds.max.z - bounds.min.z) * scale};
}

raylib::Vector3 ModelEntity::drawPosition() const {
    raylib::BoundingBox const& bounds = loaded->bounds;
    raylib::Vector3 const center{bounds.min.x + (bounds.max.x - bounds.min.x) * 0.5f,
                                 bounds.min.y + (bounds.max.y - bounds.min.y) * 0.5f,
                                 bounds.min.z + (bounds.max.z - bounds.min.z) * 0.5f};
    return {position.x - center.x * scale, position.y - center.y * scale, position.z - center.z * scale};
}

std::vector<std::shared_ptr<Entity>> ModelEntity::solidBoxes() const {
    raylib::Vector3 const at = drawPosition();
    std::vector<std::shared_ptr<Entity>> boxes;
    for (raylib::BoundingBox const& box : loaded->solidBoxes) {
        raylib::Vector3 const size = raylib::Vector3Scale(raylib::Vector3Subtract(box.max, box.min), scale);
        raylib::Vector3 const low = raylib::Vector3Add(at, raylib::Vector3Scale(box.min, scale));
        boxes.push_back(
            std::make_shared<SolidVoxels>(AABB(raylib::Vector3Add(low, raylib::Vector3Scale(size, 0.5f)), size)));
    }
    return boxes;
}

void ModelEntity::draw() {
    raylib::Vector3 const at = drawPosition();
    for (int m = 0; m < model.meshCount; ++m) {
        raylib::Mesh const& mesh = model.meshes[m];
        for (int t = 0; t < mesh.triangleCount; ++t) {
            raylib::rlCheckRenderBatchLimit(3);
            raylib::rlBegin(RL_TRIANGLES);
            for (int corner = 0; corner < 3; ++corner) {
                int const v = mesh.indices[t * 3 + corner];
                unsigned char const* color = mesh.colors + v * 4;
                float const* normal = mesh.normals + v * 3;
                float const* position = mesh.vertices + v * 3;
                raylib::rlColor4ub(color[0], color[1], color[2], color[3]);
                raylib::rlNormal3f(normal[0], normal[1], normal[2]);
                raylib::rlVertex3f(at.x + position[0] * scale, at.y + position[1] * scale, at.z + position[2] * scale);
            }
            raylib::rlEnd();
        }
    }
}
