#pragma once

#include <memory>
#include <vector>

#include "intersector.h"
#include "weapon.h"

// Draws the 3D part of a frame: the sky, then the weapon and every entity of
// a collision index under the light shader.
//
// Boxes never change once the scene is loaded, so they are baked into meshes
// on the GPU the first time they are drawn, and a frame costs a few draw
// calls instead of one DrawCubeV, with its vertices built on the CPU, per
// box. Other entities draw themselves. Must be used and destroyed while the
// graphics context exists.
class SceneRenderer {
public:
    SceneRenderer();
    ~SceneRenderer();
    SceneRenderer(SceneRenderer const&) = delete;
    SceneRenderer& operator=(SceneRenderer const&) = delete;

    // The sky, and the weapon (when there is one, anchored at eye and aimed
    // at the camera's target) and the entities seen through the camera.
    void drawScene(raylib::Camera3D const& camera, Intersector const& index, Weapon* weapon, raylib::Vector3 eye);

    // Baked meshes, or every entity drawing itself (the reference path).
    bool bakedBoxes = true;

private:
    void drawBaked(Intersector const& index);
    void release();
    void catchUp(Intersector const& index);

    Intersector const* source = nullptr;
    int drawnCount = 0;
    std::vector<raylib::Mesh> meshes;
    raylib::Material material;
    std::vector<std::shared_ptr<Entity>> others;
};

// Draws every entity of the list, in list order.
void drawScene(std::vector<std::shared_ptr<Entity>> entities);
