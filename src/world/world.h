#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "aabox.h"
#include "intersector.h"
#include "placement.h"
#include "player.h"
#include "random.h"

// The scale of the information box and of the cursor's size: a constant,
// whatever the window's size.
inline constexpr float UI_SCALE = 4.0f;

// Which implementation the world uses where a faster one stands beside the
// reference.
struct WorldOptions {
    // The tree collision index, or the full scan of IntersectorNaiveImpl.
    bool fastIndex = true;
    // Cloud cells drawn with a bitmap of taken cells, or with raylib's
    // LoadRandomSequence (the same cells, in quadratic time).
    bool fastCellDraw = true;
};

// What a scene says of its sun, its sky and its fog; the looks choose
// what it leaves out.
struct SceneAtmosphere {
    std::optional<raylib::Vector3> towardSun;
    std::optional<raylib::Color> horizon, zenith;
    std::optional<float> fogStart, fogEnd;
};

// The running scene: the collision index holding every entity the scene
// built, and the player. It holds nothing of the GPU and draws nothing: a
// renderer reads it. Placement is done by the placement functions.
class World {
public:
    explicit World(std::shared_ptr<Player> player, WorldOptions options = {});
    World(World const&) = delete;
    World& operator=(World const&) = delete;

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

    float uiScale = UI_SCALE;
    std::shared_ptr<Player> player;
    std::shared_ptr<Intersector> intersector;
    // Entities drawn but never collided with, so kept out of the index: the
    // solid models, whose voxels' boxes in the index collide instead.
    std::vector<std::shared_ptr<Entity>> drawnOnly;
    SceneAtmosphere atmosphere;
    // Where the player starts, and where the reset key brings it back.
    StartView start;
    // The index is chosen at construction; the cell draw may be switched later.
    WorldOptions options;
};

// The lowest point of any entity's box in the index; 0 when there is none.
float lowestPoint(Intersector const& index);

// Whether anything in the index lies under the start's eye, to stand on.
bool groundUnderStart(Intersector const& index, raylib::Vector3 eye = START_POSITION);
