#pragma once

#include <string>

#include "raylib-api.h"

// A model drawn in the player's view, next to the eye and turned to where
// the viewer looks.
class Weapon {
public:
    virtual ~Weapon() = default;
    virtual void draw(raylib::Vector3 anchor, raylib::Vector3 aimPoint) = 0;
};

// A weapon drawn from a model file under the light shader. Needs the window
// (the graphics context) to exist; unloads its model when destroyed.
class ModelWeapon : public Weapon {
public:
    explicit ModelWeapon(std::string path);
    ~ModelWeapon() override;
    ModelWeapon(ModelWeapon const&) = delete;
    ModelWeapon& operator=(ModelWeapon const&) = delete;

    void draw(raylib::Vector3 anchor, raylib::Vector3 aimPoint) override;

    // Where draw puts the model for this anchor and aim point; also sets the
    // model's transform to the matching rotation.
    raylib::Vector3 placeModel(raylib::Vector3 anchor, raylib::Vector3 aimPoint);

    raylib::Model model;
};
