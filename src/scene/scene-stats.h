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
    // The voxels of its clouds.
    int voxels = 0;
    // The box around every entity; none when there is no entity with a box
    // free of NaN.
    bool bounded = false;
    raylib::BoundingBox bounds{};
    double loadSeconds = 0;
    uint64_t digest = 0;
    std::vector<SceneProblem> problems;
};

// Reads the scene file, seeded as the game seeds, into a world without
// graphics, and measures it. A file that cannot be opened, or that has a
// problem that stops the game, gives its problems and no measures.
SceneStats measureScene(std::string const& path);

void printStats(std::ostream& out, std::string const& path, SceneStats const& stats);
