#pragma once

#include <memory>
#include <vector>

#include "intersector.h"

// Draws the entities of a collision index. Boxes never change once the scene
// is loaded, so they are baked into meshes on the GPU the first time they are
// drawn, and a frame costs a few draw calls instead of one DrawCubeV, with
// its vertices built on the CPU, per box. Other entities draw themselves.
// Must be used and destroyed while the graphics context exists.
class SceneRenderer {
public:
    SceneRenderer();
    ~SceneRenderer();
    SceneRenderer(SceneRenderer const&) = delete;
    SceneRenderer& operator=(SceneRenderer const&) = delete;

    // Draws every entity of the index with the light shader, baking the
    // boxes added since the last call.
    void draw(Intersector const& index);

private:
    void release();
    void catchUp(Intersector const& index);

    Intersector const* source = nullptr;
    int drawnCount = 0;
    std::vector<raylib::Mesh> meshes;
    raylib::Material material;
    std::vector<std::shared_ptr<Entity>> others;
};
