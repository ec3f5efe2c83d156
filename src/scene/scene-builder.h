#pragma once

#include <functional>
#include <optional>

#include "aabb.h"
#include "model-loader.h"
#include "model-lookup.h"
#include "scene-description.h"
#include "world.h"

// What building a scene's entries needs besides the entries.
struct SceneBuild {
    // The box clouds keep clear: the player's body at the start.
    AABB keepClear;
    ModelPlaces places{};
    // Models already read, shared; when empty every model entry reads its
    // file.
    ModelCache* models = nullptr;
};

// Builds one entry's entities and registers them in the world's collision
// index, drawing random numbers as the entry's kind does. Returns the
// problem of a model that is missing, refused or shows nothing (placed all
// the same, showing nothing); raises what the world's builders raise.
std::optional<Problem> buildEntry(SceneEntry const& entry, World& world, SceneBuild const& build);

// What clouds keep clear for a player, or for none a box that overlaps
// nothing (no corner compares as ordered).
AABB keepClearFor(Player const* player);
