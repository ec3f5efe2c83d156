#include "scene-stats.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "log-capture.h"
#include "model-entity.h"
#include "scene-loader.h"

namespace {

char const* const KIND_NAMES[] = {"comment",  "rect", "model", "voxels_cloud", "voxels_cloud_huge",
                                  "mountain", "sun",  "sky",   "fog",          "start"};
// The atmosphere's entries and the start build nothing.
char const* const ENTITY_NAMES[] = {"", "boxes", "models", "voxels", "voxels", "slabs", "", "", "", ""};

std::string vector(raylib::Vector3 v) {
    char text[96];
    std::snprintf(text, sizeof text, "(%.3f, %.3f, %.3f)", v.x, v.y, v.z);
    return text;
}

// Each model placed, by its file, with the voxels it shows.
class ModelCount : public EntityVisitor {
public:
    explicit ModelCount(SceneStats& stats) : stats(stats) {}
    void visitModel(ModelEntity const& model) override {
        SceneStats::Model& counted = stats.models[model.path];
        counted.voxels = model.loaded->voxels;
        counted.entries += 1;
        stats.voxels += model.loaded->voxels;
    }

private:
    SceneStats& stats;
};

}  // namespace

SceneStats measureScene(std::string const& path, std::string const& assetRoot) {
    SceneStats stats;
    LogCapture quiet;
    auto const start = std::chrono::steady_clock::now();
    auto const countEntry = [&](ObjectType type, int added) {
        stats.kinds[type].entries += 1;
        stats.kinds[type].entities += added;
    };
    SceneLoad const load = loadWorld(path, std::make_shared<Player>(), {.onEntry = countEntry, .assetRoot = assetRoot});
    stats.loadSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    stats.problems = load.problems;
    if (!load.world) return stats;
    Intersector const& index = *load.world->intersector;
    stats.entities = index.size();
    stats.voxels = stats.kinds[VOXELS_CLOUD].entities + stats.kinds[VOXELS_CLOUD_HUGE].entities;
    ModelCount models(stats);
    for (auto const& entity : load.world->drawnOnly) entity->accept(models);
    for (auto const& entity : index.entityList()) {
        entity->accept(models);
        AABB const& box = entity->getAABB();
        raylib::Vector3 const low = raylib::Vector3Min(box.min, box.max), high = raylib::Vector3Max(box.min, box.max);
        stats.bounds = stats.bounded ? raylib::BoundingBox{raylib::Vector3Min(stats.bounds.min, low),
                                                           raylib::Vector3Max(stats.bounds.max, high)}
                                     : raylib::BoundingBox{low, high};
        stats.bounded = true;
    }
    stats.digest = worldDigest(index);
    return stats;
}

void printStats(std::ostream& out, std::string const& path, SceneStats const& stats) {
    out << "scene: " << path << "\n";
    out << "entities: " << stats.entities << "\n";
    for (auto const& [type, kind] : stats.kinds) {
        if (type == COMMENT) continue;
        out << "  " << KIND_NAMES[type] << ": " << kind.entries << (kind.entries == 1 ? " entry" : " entries");
        if (*ENTITY_NAMES[type]) out << ", " << kind.entities << " " << ENTITY_NAMES[type];
        out << "\n";
    }
    out << "voxels: " << stats.voxels << "\n";
    for (auto const& [path, model] : stats.models) {
        out << "  " << path << ": " << model.voxels << " voxels, placed " << model.entries
            << (model.entries == 1 ? " time\n" : " times\n");
    }
    out << "bounds: " << (stats.bounded ? vector(stats.bounds.min) + " to " + vector(stats.bounds.max) : "none")
        << "\n";
    char line[64];
    std::snprintf(line, sizeof line, "load time: %.0f ms\n", stats.loadSeconds * 1000);
    out << line;
    std::snprintf(line, sizeof line, "digest: %016llx\n", static_cast<unsigned long long>(stats.digest));
    out << line;
}
