#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "problem.h"
#include "raylib-api.h"

// The kinds of entry of a scene file.
enum ObjectType {
    COMMENT = 0,
    RECT = 1,
    MODEL = 2,
    VOXELS_CLOUD = 3,
    VOXELS_CLOUD_HUGE = 4,
    MOUNTAIN = 5,
    // The scene's atmosphere: they build nothing.
    SUN = 6,
    SKY = 7,
    FOG = 8,
    // Where the player starts.
    START = 9,
};

// The scale of a model whose entry gives none.
inline constexpr float MODEL_SCALE = 0.1f;
inline constexpr float MAX_MODEL_SCALE = 100.0f;
// The voxels of the two kinds of cloud.
inline constexpr raylib::Vector3 SMALL_VOXEL{0.025f, 0.025f, 0.025f};
inline constexpr raylib::Vector3 HUGE_VOXEL{2.5f, 2.5f, 2.5f};

// Where something stands in a scene file: line and column from 1, and its
// byte from 0.
struct Place {
    int line = 1, column = 1;
    size_t offset = 0;
};

// One box.
struct RectEntry {
    raylib::Vector3 center{}, size{};
    raylib::Color color{};
};

// A .vox model, found by its name under a models folder.
struct ModelEntry {
    std::string name;
    raylib::Vector3 position{};
    float scale = MODEL_SCALE;
    bool solid = false;
    // The colour of a model whose format has none (binvox); grey when not given.
    std::optional<raylib::Color> color{};
    Place namePlace{};
};

// Voxels scattered at random over a region.
struct CloudEntry {
    raylib::Vector3 center{}, extent{}, voxelSize{};
    float density = 0;
};

// A stepped pyramid of slabs.
struct MountainEntry {
    raylib::Vector3 position{}, size{};
};

// The way to the sun, from anywhere in the world.
struct SunEntry {
    raylib::Vector3 towardSun{};
};

// The sky's colours, at the horizon and overhead.
struct SkyEntry {
    raylib::Color horizon{}, zenith{};
};

// Where the fog begins, and where it hides everything, in units from the eye.
struct FogEntry {
    float start = 0, end = 0;
};

// Where the player starts: its eye, and the point it looks at.
struct StartEntry {
    raylib::Vector3 eye{}, look{};
};

// The farthest a fog may end.
inline constexpr float MAX_FOG_END = 100000.0f;

using EntryFields =
    std::variant<RectEntry, ModelEntry, CloudEntry, MountainEntry, SunEntry, SkyEntry, FogEntry, StartEntry>;

// One entry of a scene, as written: what it builds and where it stands.
struct SceneEntry {
    ObjectType type = RECT;
    EntryFields fields{};
    Place place{};  // of its keyword
    // Where its last token starts, where a builder's refusal of it points
    // (a cloud's density), and the byte after it.
    Place lastToken{};
    size_t end = 0;
};

// A scene file read: its entries in file order, and every problem of the
// text (those of the models it names are found as it is built).
struct SceneDescription {
    std::string sourceName;
    std::vector<SceneEntry> entries;
    std::vector<Problem> problems;

    // Whether a problem keeps the scene from being played.
    bool hasFatalProblem() const;
};
