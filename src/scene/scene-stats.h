#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "intersector.h"
#include "scene-reader.h"
#include "world-digest.h"

// What a scene holds, read as the game reads it, without graphics.
struct SceneStats {
    struct Kind {
        int entries = 0;
        int entities = 0;
    };
    std::map<ObjectType, Kind> kinds;
    int entities = 0;
    // The voxels of its clouds and its models, as drawn.
    size_t voxels = 0;
    // Of each model file: the voxels it holds, and the entries that place it.
    struct Model {
        size_t voxels = 0;
        int entries = 0;
    };
    std::map<std::string, Model> models;
    // The box around every entity; none when there is no entity with a box
    // free of NaN.
    bool bounded = false;
    raylib::BoundingBox bounds{};
    double loadSeconds = 0;
    uint64_t digest = 0;
    std::vector<Problem> problems;
};

// Reads the scene file, seeded as the game seeds, into a world without
// graphics, and measures it. A file that cannot be opened, or that has a
// problem that stops the game, gives its problems and no measures.
SceneStats measureScene(std::string const& path, std::string const& assetRoot = "");

void printStats(std::ostream& out, std::string const& path, SceneStats const& stats);
