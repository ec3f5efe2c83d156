#pragma once

#include <memory>
#include <string>

#include "player.h"
#include "world.h"

// Reads the scene file at path into a new world for the player. Returns an
// empty pointer when the file holds an unknown keyword; raises the scene
// reader's errors, and std::runtime_error* when the file cannot be opened.
std::shared_ptr<World> loadScene(std::string path, std::shared_ptr<Player> player);
// The same, for a world built with the given options.
std::shared_ptr<World> loadScene(std::string path, std::shared_ptr<Player> player, WorldOptions options);

// Loads the scene for the game or a tool that says why it could not: an
// empty pointer, with the reason set, when the file cannot be opened or read.
std::shared_ptr<World> loadSceneOrReason(std::string const& path, std::shared_ptr<Player> player, std::string& reason);
