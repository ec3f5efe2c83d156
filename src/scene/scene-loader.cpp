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
                       [](SceneProblem const& problem) { return problem.severity != Severity::WARNING; });
}

std::string SceneLoad::report() const {
    std::string lines;
    for (SceneProblem const& problem : problems) lines += describeProblem(sourceName, problem) + "\n";
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
    if (std::string const problem = sceneFileProblem(path); !problem.empty()) return {nullptr, {{1, 1, problem}}, path};
    std::ifstream file(path, std::ios::binary);
    std::string const text(std::istreambuf_iterator<char>(file), {});
    if (file.bad()) return {nullptr, {{1, 1, "the scene file " + path + " cannot be read"}}, path};
    LoadOptions fromFile = options;
    std::filesystem::path const folder = std::filesystem::path(path).parent_path();
    fromFile.sceneFolder = (folder.empty() ? std::filesystem::path(".") : folder).string();
    return loadWorldFromText(text, path, std::move(player), fromFile);
}

SceneLoad loadWorldFromText(std::string const& text, std::string const& sourceName, std::shared_ptr<Player> player,
                            LoadOptions const& options) {
    SceneLoad load{std::make_shared<World>(player, options.world), {}, sourceName};
    if (options.progress) options.progress->bytesTotal = text.size();
    // The entries are counted first, building nothing.
    MemoryEstimate estimate;
    std::istringstream counted(text);
    SceneReader counter(player, &counted, load.world, sourceName);
    counter.models = options.models;
    counter.sceneFolder = options.sceneFolder;
    counter.estimate = &estimate;
    counter.memoryLimit = options.memoryLimit ? options.memoryLimit : availableMemory();
    if (counter.memoryLimit == 0) counter.memoryLimit = SIZE_MAX;  // unknown: nothing is refused
    counter.onProblem = [](SceneProblem const&) {};                // the reading finds them
    if (!counter.readScene()) return {nullptr, {counter.problem}, sourceName};

    std::istringstream scene(text);
    initRandomToken();
    SceneReader reader(player, &scene, load.world, sourceName);
    reader.models = options.models;
    reader.sceneFolder = options.sceneFolder;
    reader.onEntry = options.onEntry;
    reader.progress = options.progress;
    reader.onProblem = [&](SceneProblem const& problem) { load.problems.push_back(problem); };
    reader.readScene();
    for (SceneProblem const& problem : load.problems) {
        if (problem.severity == Severity::FATAL) load.world.reset();
    }
    if (load.world && load.world->intersector->size() == 0) {
        load.problems.push_back({.message = "the scene holds nothing: the player falls through the sky for ever",
                                 .severity = Severity::WARNING});
    } else if (load.world && !groundUnderStart(*load.world->intersector)) {
        load.problems.push_back(
            {.message = raylib::TextFormat("nothing lies under the start at (%g, %g, %g): the player falls for ever",
                                           START_POSITION.x, START_POSITION.y, START_POSITION.z),
             .severity = Severity::WARNING});
    }
    return load;
}
