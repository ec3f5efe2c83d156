#pragma once

#include <memory>
#include <vector>

#include "aabox.h"
#include "intersector.h"
#include "placement.h"
#include "player.h"
#include "random.h"
#include "scene-renderer.h"

// Which implementation the world uses where a faster one stands beside the
// reference, and whether it has graphics at all.
struct WorldOptions {
    // The tree collision index, or the full scan of IntersectorNaiveImpl.
    bool fastIndex = true;
    // Cloud cells drawn with a bitmap of taken cells, or with raylib's
    // LoadRandomSequence (the same cells, in quadratic time).
    bool fastCellDraw = true;
    // Boxes baked into meshes once, or drawn one by one with DrawCubeV.
    bool bakedBoxes = true;
    // With graphics, the world loads its cursor texture and registers the
    // scene's lights, and so needs a window. Without, it only holds and
    // measures the scene and draws nothing: a scene can then be read and
    // checked where no display exists.
    bool graphics = true;
};

// The running scene: the collision index holding every entity, the player,
// the cursor texture and the scene's lights. Each of its jobs is done by the
// library that owns it: drawing by the renderer, placement by the placement
// functions, lights by the lighting library.
class World {
public:
    explicit World(std::shared_ptr<Player> player, WorldOptions options = {});
    ~World();
    World(World const&) = delete;
    World& operator=(World const&) = delete;

    // One whole frame, from BeginDrawing to EndDrawing.
    void render(raylib::Camera3D& camera, bool showInfo);
    // The frame's drawing without BeginDrawing and EndDrawing.
    void drawFrame(raylib::Camera3D& camera, bool showInfo);
    // The frame-rate counter and the camera status box.
    void drawInfoBoxes(raylib::Camera3D& camera) const;

    // Registers the scene's two lights in the light shader.
    void createSunlight();
    // Uploads the camera's target as the shader's "viewPos".
    void updateLightShader(raylib::Camera3D& camera);

    // A random cube in the region touching neither exclusionBox nor any
    // registered entity; throws std::runtime_error after 50 failed attempts.
    std::shared_ptr<AABox> generateValidCube(AABB const& exclusionBox, raylib::Vector3 regionMin,
                                             raylib::Vector3 regionMax, raylib::Vector3 maxSize,
                                             ColorScheme colors) const;
    // The voxels of one cloud, clear of keepClear (the player's body); see
    // placeVoxelCloud.
    std::vector<std::shared_ptr<Entity>> const generateValidVoxels(AABB keepClear, raylib::Vector3 center,
                                                                   raylib::Vector3 extent, raylib::Vector3 voxelSize,
                                                                   float density, ColorScheme colors) const;

    float uiScale;
    std::shared_ptr<Player> player;
    std::shared_ptr<Intersector> intersector;
    // Empty (zero) in a world without graphics.
    raylib::Texture2D cursorTexture{};
    // Read at construction for the index and graphics; the drawing path may
    // be switched later.
    WorldOptions options;

private:
    std::unique_ptr<SceneRenderer> sceneRenderer;
};
