#include "scene-check.h"

#include <iostream>
#include <sstream>

#include "log-capture.h"
#include "random.h"

std::vector<SceneProblem> checkScene(std::istream& scene, std::string const& sourceName,
                                     std::shared_ptr<Player> player) {
    std::vector<SceneProblem> problems;
    LogCapture quiet;
    initRandomToken();
    SceneReader reader(player, &scene, std::make_shared<World>(player, WorldOptions{.graphics = false}), sourceName);
    reader.onProblem = [&](SceneProblem const& problem) { problems.push_back(problem); };
    reader.readScene();
    return problems;
}

std::string describeProblem(std::string const& sourceName, SceneProblem const& problem) {
    return sourceName + ":" + std::to_string(problem.line) + ":" + std::to_string(problem.column) +
           ": error: " + problem.message;
}
