#include "scene-builder.h"

#include <filesystem>
#include <limits>
#include <variant>

#include "model-entity.h"
#include "voxel-builders.h"

namespace {

// A model that cannot be read is drawn as nothing, where it stands.
std::shared_ptr<LoadedModel const> modelFor(ModelLookup const& lookup, ModelEntry const& entry,
                                            SceneBuild const& build) {
    if (lookup.outside) return std::make_shared<LoadedModel const>("");
    raylib::Color const plain = entry.color.value_or(PLAIN_MODEL_GREY);
    if (build.models) return build.models->get(lookup.path, plain);
    return std::make_shared<LoadedModel const>(lookup.path, plain);
}

std::optional<Problem> buildModel(ModelEntry const& entry, World& world, SceneBuild const& build) {
    ModelLookup const lookup = lookUpModel(entry.name, build.places);
    auto const model = modelFor(lookup, entry, build);
    auto const entity = std::make_shared<ModelEntity>(entry.position, entry.scale, lookup.path, model);
    if (entry.solid) {
        world.drawnOnly.push_back(entity);
        world.intersector->addEntity(entity->solidBoxes());
    } else {
        world.intersector->addEntity(entity);
    }
    if (model->problem.empty() && model->warning.empty() && lookup.alternatives.empty()) return std::nullopt;
    if (model->problem.empty() && model->warning.empty()) {
        return Problem{.line = entry.namePlace.line,
                       .column = entry.namePlace.column,
                       .message = "the model " + printable(entry.name) + " is both " + lookup.path + " and " +
                                  lookup.alternatives.front() + ": the first is read; give the name its ending (" +
                                  entry.name + std::filesystem::path(lookup.alternatives.front()).extension().string() +
                                  ") to read another",
                       .severity = Severity::WARNING};
    }
    std::string const notFound = lookupProblem(entry.name, lookup);
    return Problem{.line = entry.namePlace.line,
                   .column = entry.namePlace.column,
                   .message = !notFound.empty()        ? notFound
                              : model->problem.empty() ? model->warning
                                                       : model->problem,
                   .severity = model->problem.empty() ? Severity::WARNING : Severity::ERROR};
}

}  // namespace

AABB keepClearFor(Player const* player) {
    if (player) return player->getAABB();
    float const nan = std::numeric_limits<float>::quiet_NaN();
    return AABB({nan, nan, nan}, {nan, nan, nan});
}

std::optional<Problem> buildEntry(SceneEntry const& entry, World& world, SceneBuild const& build) {
    if (auto const* rect = std::get_if<RectEntry>(&entry.fields)) {
        world.intersector->addEntity(std::make_shared<AABox>(rect->center, rect->size, rect->color));
    } else if (auto const* model = std::get_if<ModelEntry>(&entry.fields)) {
        return buildModel(*model, world, build);
    } else if (auto const* cloud = std::get_if<CloudEntry>(&entry.fields)) {
        world.intersector->addEntity(world.generateValidVoxels(build.keepClear, cloud->center, cloud->extent,
                                                               cloud->voxelSize, cloud->density, allColors));
    } else if (auto const* mountain = std::get_if<MountainEntry>(&entry.fields)) {
        world.intersector->addEntity(buildMountain(mountain->position, mountain->size));
    } else if (auto const* sun = std::get_if<SunEntry>(&entry.fields)) {
        world.atmosphere.towardSun = raylib::Vector3Normalize(sun->towardSun);
    } else if (auto const* sky = std::get_if<SkyEntry>(&entry.fields)) {
        world.atmosphere.horizon = sky->horizon;
        world.atmosphere.zenith = sky->zenith;
    } else if (auto const* start = std::get_if<StartEntry>(&entry.fields)) {
        world.start = {start->eye, start->look};
    } else if (auto const* fog = std::get_if<FogEntry>(&entry.fields)) {
        world.atmosphere.fogStart = fog->start;
        world.atmosphere.fogEnd = fog->end;
    }
    return std::nullopt;
}
