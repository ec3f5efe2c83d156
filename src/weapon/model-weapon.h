#pragma once

#include <memory>
#include <string>

#include "lighting.h"
#include "model-upload.h"
#include "weapon.h"

// A weapon drawn from a .vox model file under the window's light shader.
// Needs the window (the graphics context) for its whole life.
class ModelWeapon : public Weapon {
    // First, so that it exists before the reference to its model below.
    ModelOnGpu onGpu;

public:
    ModelWeapon(std::string path, Lighting& lighting);

    void draw(raylib::Vector3 anchor, raylib::Vector3 aimPoint) override;

    // Where draw puts the model for this anchor and aim point; also sets the
    // model's transform to the matching rotation.
    raylib::Vector3 placeModel(raylib::Vector3 anchor, raylib::Vector3 aimPoint);

    raylib::Model& model;
};
