#pragma once

#include <memory>
#include <vector>

#include "aabox.h"
#include "intersector.h"
#include "player.h"
#include "random.h"
#include "scene-renderer.h"

// Where the information box and its five text lines go, in pixels. The box
// is designed for an 800 x 450 window and scaled by the smaller of the
// world's uiScale and the window's own scale, so it always fits the window.
struct InfoBoxLayout {
    int x, y, width, height;
    int textX, fontSize;
    int lineY[5];
};
InfoBoxLayout infoBoxLayout(float uiScale, int screenWidth, int screenHeight);

// The most voxels one cloud may hold.
inline constexpr int MAX_CLOUD_VOXELS = 100000;

// Which implementation the world uses where a faster one stands beside the
// reference; the reference paths stay for tests and benchmarks.
struct WorldOptions {
    // The grid collision index, or the full scan of IntersectorNaiveImpl.
    bool gridIndex = true;
    // Cloud cells drawn with a bitmap of taken cells, or with raylib's
    // LoadRandomSequence (the same cells, in quadratic time).
    bool fastCellDraw = true;
    // Boxes baked into meshes once, or drawn one by one with DrawCubeV.
    bool bakedBoxes = true;
};

// The running scene: the collision index holding every entity, the player,
// the cursor texture and the scene's lights. Draws one frame on request.
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
    // The voxels of one cloud: a random set of distinct cells of the grid of
    // voxelSize cells over extent around center, density the fraction filled.
    // Cells whose voxel would overlap keepClear (the player's body) are left
    // empty. A cloud of fewer than 1 or more than MAX_CLOUD_VOXELS voxels is
    // refused with std::runtime_error.
    std::vector<std::shared_ptr<Entity>> const generateValidVoxels(AABB keepClear, raylib::Vector3 center,
                                                                   raylib::Vector3 extent,
                                                                   raylib::Vector3 voxelSize, float density,
                                                                   ColorScheme colors) const;

    float uiScale;
    std::shared_ptr<Player> player;
    std::shared_ptr<Intersector> intersector;
    raylib::Texture2D cursorTexture;
    // Read at construction for the index; the drawing path may be switched later.
    WorldOptions options;

private:
    void drawCursor() const;
    std::vector<int> drawCells(int count, int total) const;

    std::unique_ptr<SceneRenderer> sceneRenderer;
};

// Draws every entity of the list, in list order.
void drawScene(std::vector<std::shared_ptr<Entity>> entities);
