#include "scene-loader.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <tuple>

#include "available-memory.h"
#include "memory-estimate.h"
#include "model-lookup.h"
#include "read-whole.h"
#include "scene-builder.h"
#include "scene-parser.h"

std::shared_ptr<World> loadScene(std::string path, std::shared_ptr<Player> player) {
    std::ifstream file(path);
    if (!file.is_open()) {
        std::string const message = "Cannot open the scene file " + path;
        std::clog << message << std::endl;
        throw new std::runtime_error(message);
    }
    auto world = std::make_shared<World>(player);
    SceneReader reader(player, &file, world, path);
    return reader.readScene();
}

bool SceneLoad::hasErrors() const {
    return std::any_of(problems.begin(), problems.end(),
                       [](Problem const& problem) { return problem.severity != Severity::WARNING; });
}

std::string SceneLoad::report() const {
    std::string lines;
    for (Problem const& problem : problems) lines += describeProblem(problem) + "\n";
    return lines;
}

std::string sceneFileProblem(std::string const& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return "the scene file " + path + " is a folder";
    std::ifstream file(path, std::ios::binary);
    if (!file) return "cannot open the scene file " + path + ": " + std::strerror(errno);
    return "";
}

SceneLoad loadWorld(std::string const& path, std::shared_ptr<Player> player, LoadOptions const& options) {
    if (std::string const problem = sceneFileProblem(path); !problem.empty()) {
        return {nullptr, {{.file = path, .line = 1, .column = 1, .message = problem}}, path, {path}};
    }
    std::ifstream file(path, std::ios::binary);
    std::optional<std::string> const text = readRest(file);
    if (!text) {
        return {nullptr,
                {{.file = path, .line = 1, .column = 1, .message = "the scene file " + path + " cannot be read"}},
                path,
                {path}};
    }
    LoadOptions fromFile = options;
    std::filesystem::path const folder = std::filesystem::path(path).parent_path();
    fromFile.sceneFolder = (folder.empty() ? std::filesystem::path(".") : folder).string();
    SceneLoad load = loadWorldFromText(*text, path, std::move(player), fromFile);
    load.files.insert(load.files.begin(), path);
    return load;
}

namespace {

// The problem of the first entry with which the scene's world passes the
// memory limit; none when it fits.
std::optional<Problem> memoryProblem(SceneDescription const& scene, TextLines const& lines,
                                     LoadOptions const& options) {
    size_t limit = options.memoryLimit ? options.memoryLimit : availableMemory();
    if (limit == 0) return std::nullopt;  // unknown: nothing is refused
    MemoryCount count({options.sceneFolder, options.assetRoot}, options.models != nullptr);
    std::optional<size_t> passing;
    for (SceneEntry const& entry : scene.entries) {
        count.add(entry);
        if (!passing && count.estimate.bytes() > limit) passing = entry.place.offset;
    }
    if (!passing) return std::nullopt;
    return problemAt(lines, scene.sourceName, *passing,
                     "Scene refused: it needs about " + memorySize(count.estimate.bytes()) +
                         " of memory, more than the " + memorySize(limit) +
                         " available, which the entries up to this one already pass");
}

// Builds the entries in file order; a builder's refusal is the problem of
// its entry. False when a stop was asked for.
bool buildEntries(SceneDescription const& scene, World& world, SceneBuild const& build, LoadOptions const& options,
                  std::vector<Problem>& problems) {
    LoadProgress* const progress = options.progress;
    for (SceneEntry const& entry : scene.entries) {
        auto const entities = [&] { return world.intersector->size() + static_cast<int>(world.drawnOnly.size()); };
        int const before = entities();
        try {
            if (std::optional<Problem> problem = buildEntry(entry, world, build)) problems.push_back(*problem);
        } catch (std::runtime_error const& refused) {
            problems.push_back(
                {.line = entry.lastToken.line, .column = entry.lastToken.column, .message = refused.what()});
        }
        if (options.onEntry) options.onEntry(entry.type, entities() - before);
        if (!progress) continue;
        progress->entries += 1;
        progress->bytesRead = entry.end;
        if (progress->stop) return false;
    }
    if (progress) progress->bytesRead = progress->bytesTotal.load();
    return true;
}

// Every place the scene's models are looked for, those that leave the
// models folders left out.
std::vector<std::string> modelPlaces(SceneDescription const& scene, ModelPlaces const& places) {
    std::vector<std::string> files;
    for (SceneEntry const& entry : scene.entries) {
        if (entry.type != MODEL) continue;
        ModelLookup const lookup = modelCandidates(std::get<ModelEntry>(entry.fields).name, places);
        if (!lookup.outside) files.insert(files.end(), lookup.candidates.begin(), lookup.candidates.end());
    }
    return files;
}

// The last start entry of the scene, which holds; none without one.
SceneEntry const* startOf(SceneDescription const& scene) {
    auto const entry =
        std::find_if(scene.entries.rbegin(), scene.entries.rend(), [](SceneEntry const& e) { return e.type == START; });
    return entry == scene.entries.rend() ? nullptr : &*entry;
}

// Warnings of the world as a whole: nothing in it, or nothing to stand on.
void warnOfTheWhole(World const& world, std::vector<Problem>& problems, std::string const& file) {
    raylib::Vector3 const eye = world.start.eye;
    if (world.intersector->size() == 0) {
        problems.push_back({.file = file,
                            .message = "the scene holds nothing: the player falls through the sky for ever",
                            .severity = Severity::WARNING});
    } else if (!groundUnderStart(*world.intersector, eye)) {
        problems.push_back(
            {.file = file,
             .message = raylib::TextFormat("nothing lies under the start at (%g, %g, %g): the player falls for ever",
                                           eye.x, eye.y, eye.z),
             .severity = Severity::WARNING});
    }
}

// A start the scene gives inside a box, where the player could not move.
std::optional<Problem> startProblem(SceneDescription const& scene, World const& world) {
    SceneEntry const* entry = startOf(scene);
    if (!entry) return std::nullopt;
    Player standing;
    standing.placeAt(world.start.eye);
    if (!world.intersector->findIntersection(standing.aabb)) return std::nullopt;
    raylib::Vector3 const eye = world.start.eye;
    return Problem{.line = entry->place.line,
                   .column = entry->place.column,
                   .message = raylib::TextFormat("the start at (%g, %g, %g) is inside a box: the player could not move",
                                                 eye.x, eye.y, eye.z),
                   .severity = Severity::ERROR};
}

}  // namespace

SceneLoad loadWorldFromText(std::string const& text, std::string const& sourceName, std::shared_ptr<Player> player,
                            LoadOptions const& options) {
    if (options.progress) options.progress->bytesTotal = text.size();
    SceneDescription const scene = readSceneDescription(text, sourceName);
    std::vector<std::string> files = modelPlaces(scene, {options.sceneFolder, options.assetRoot});
    TextLines const lines(text);
    if (std::optional<Problem> const refused = memoryProblem(scene, lines, options)) {
        return {nullptr, {*refused}, sourceName, std::move(files)};
    }

    SceneLoad load{std::make_shared<World>(player, options.world), scene.problems, sourceName, std::move(files)};
    if (SceneEntry const* start = startOf(scene); start && options.placePlayer) {
        player->placeAt(std::get<StartEntry>(start->fields).eye);
    }
    initRandomToken();
    SceneBuild const build{keepClearFor(player.get()), {options.sceneFolder, options.assetRoot}, options.models};
    std::vector<Problem> built;
    if (!buildEntries(scene, *load.world, build, options, built)) {
        return {nullptr, {{.file = sourceName, .message = "Scene reading stopped before its end"}}, sourceName, {}};
    }
    if (std::optional<Problem> problem = startProblem(scene, *load.world)) {
        built.push_back(std::move(*problem));
        std::stable_sort(built.begin(), built.end(), [](Problem const& a, Problem const& b) {
            return std::tie(a.line, a.column) < std::tie(b.line, b.column);
        });
    }
    // In file order: those of the text and those of the models, merged.
    for (Problem& problem : built) {
        problem.file = sourceName;
        problem.lineText = lines.lineOf(lines.lineStart(problem.line));
    }
    std::vector<Problem> merged;
    std::merge(
        load.problems.begin(), load.problems.end(), built.begin(), built.end(), std::back_inserter(merged),
        [](Problem const& a, Problem const& b) { return std::tie(a.line, a.column) < std::tie(b.line, b.column); });
    load.problems = std::move(merged);
    if (scene.hasFatalProblem()) load.world.reset();
    if (load.world) warnOfTheWhole(*load.world, load.problems, sourceName);
    return load;
}
