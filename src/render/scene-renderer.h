#pragma once

#include <map>
#include <memory>
#include <vector>

#include "intersector.h"
#include "model-entity.h"
#include "model-upload.h"
#include "weapon.h"

// Draws the 3D part of a frame: the sky, then the weapon and every entity of
// a collision index under the light shader.
//
// Boxes never change once the scene is loaded, so the first frame bakes
// them into meshes on the GPU, grouped in chunks (cubic regions of the
// world) and in a chunk by the way the faces point, without the faces that
// other boxes hide. A frame then draws only the chunks and models whose
// bounds meet the view frustum, nearest first, so that depth testing rejects
// what lies behind early, and of a chunk or model only the faces that can
// point towards the camera.
//
// A chunk or model that nearer ones hid in the last frame is not drawn
// unless the GPU finds some of its bounding box in view after those seen
// last frame are drawn: a depth-tested occlusion query, so nothing that can
// be seen is left out, in any frame. The meshes are baked again when the
// index has grown, or when it is another index. Each model file is uploaded
// once, and its copy kept while the index shows it. Must be used and
// destroyed while the graphics context exists.
class SceneRenderer {
public:
    SceneRenderer();
    ~SceneRenderer();
    SceneRenderer(SceneRenderer const&) = delete;
    SceneRenderer& operator=(SceneRenderer const&) = delete;

    // The sky, and the weapon (when there is one, anchored at eye and aimed
    // at the camera's target) and the entities seen through the camera,
    // under the light shader.
    void drawScene(raylib::Camera3D const& camera, std::shared_ptr<Intersector const> const& index, Weapon* weapon,
                   raylib::Vector3 eye, raylib::Shader lightShader);

    // Baked chunks, or every entity drawing itself (the reference path).
    bool bakedBoxes = true;

    // The baked meshes' size on the GPU, in bytes, and their triangles.
    size_t meshBytes() const;
    size_t triangles() const;

private:
    // A chunk's meshes are grouped by the way their faces point (the six
    // directions of BoxFace); the last group holds the faces of boxes of a
    // size not above 0, which point either way.
    static constexpr int FACE_GROUPS = 7;

    // Something drawn as a whole when its bounds meet the view.
    struct Part {
        raylib::BoundingBox bounds;
        std::vector<raylib::Mesh> meshes[FACE_GROUPS];
        std::shared_ptr<Entity> entity;      // or an entity that draws itself
        ModelEntity const* model = nullptr;  // the entity, when it is a model
        ModelOnGpu const* onGpu = nullptr;   // and the model's copy on the GPU
        unsigned query = 0;                  // its occlusion query, once made
        bool seen = true;                    // whether it showed in the last frame
        bool queried = false;                // whether the query was drawn with it
    };

    static bool mayFace(Part const& part, float const normal[3], raylib::Vector3 camera);
    void bake(Intersector const& index);
    void release();
    void drawBaked(raylib::Camera3D const& camera);
    void drawPart(Part const& part, raylib::Vector3 camera);
    void drawBounds(Part const& part);

    // The model's copy on the GPU, uploaded when it is first seen.
    ModelOnGpu const& uploaded(std::shared_ptr<LoadedModel const> const& model);

    // The index baked: another, or this one grown, is baked anew.
    std::weak_ptr<Intersector const> source;
    int bakedCount = 0;
    std::vector<Part> parts;
    std::map<LoadedModel const*, std::unique_ptr<ModelOnGpu>> models;
    raylib::Material material;
    // A unit cube, drawn as a part's bounding box in occlusion queries.
    raylib::Mesh cube;
};

// Draws every entity of the list, in list order.
void drawScene(std::vector<std::shared_ptr<Entity>> entities);
