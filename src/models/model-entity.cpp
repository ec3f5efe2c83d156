#include "model-entity.h"

#include <iomanip>
#include <iostream>

#include "model-loader.h"
#include "shader.h"

ModelEntity::ModelEntity(raylib::Vector3 position, float scale, std::string path)
    : position(position), scale(scale), loaded(sharedModel(path)), model(loaded->model) {
    aabb = AABB(position, scaledSize());
    setModelShaders(model);

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
    raylib::BoundingBox const bounds = raylib::GetModelBoundingBox(model);
    raylib::Vector3 const center{bounds.min.x + (bounds.max.x - bounds.min.x) * 0.5f,
                                 bounds.min.y + (bounds.max.y - bounds.min.y) * 0.5f,
                                 bounds.min.z + (bounds.max.z - bounds.min.z) * 0.5f};
    return {position.x - center.x * scale, position.y - center.y * scale, position.z - center.z * scale};
}

void ModelEntity::draw() {
    raylib::DrawModel(model, drawPosition(), scale, {255, 255, 255, 255});
}
