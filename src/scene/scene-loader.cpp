#include "scene-loader.h"

#include <fstream>
#include <iostream>
#include <stdexcept>

#include "scene-reader.h"

std::shared_ptr<World> loadScene(std::string path, std::shared_ptr<Player> player) {
    return loadScene(std::move(path), std::move(player), WorldOptions{});
}

std::shared_ptr<World> loadScene(std::string path, std::shared_ptr<Player> player, WorldOptions options) {
    std::ifstream file(path);
    if (!file.is_open()) {
        std::string const message = "Cannot open the scene file " + path;
        std::clog << message << std::endl;
        throw new std::runtime_error(message);
    }
    auto world = std::make_shared<World>(player, options);
    SceneReader reader(player, &file, world, path);
    return reader.readScene();
}

std::shared_ptr<World> loadSceneOrReason(std::string const& path, std::shared_ptr<Player> player, std::string& reason) {
    try {
        if (auto world = loadScene(path, std::move(player))) return world;
        reason = "it holds an entry the game does not know";
    } catch (...) {
        reason = reasonOfCurrentException();
    }
    return nullptr;
}
