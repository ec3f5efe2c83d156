#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model-loader.h"
#include "player.h"
#include "scene-reader.h"
#include "world.h"

// Where the game finds its scene, relative to the working directory.
inline constexpr char const* SCENE_PATH = "assets/scenes/des/demo_scene.txt";

// Reads the scene file at path into a new world for the player. Returns an
// empty pointer when the file holds an unknown keyword; raises the scene
// reader's errors, and std::runtime_error* when the file cannot be opened.
std::shared_ptr<World> loadScene(std::string path, std::shared_ptr<Player> player);

// What keeps the file at path from being read as a scene: it does not
// exist, is a folder, or cannot be read. Empty when it can be read.
std::string sceneFileProblem(std::string const& path);

// How far a loading has come, for a screen drawn by another thread; stop
// asks the loading to end after the entry it is in.
struct LoadProgress {
    std::atomic<size_t> bytesRead{0}, bytesTotal{0}, entries{0};
    std::atomic<bool> stop{false};
};

// How the game and its tools load a scene.
struct LoadOptions {
    WorldOptions world{};
    // Models already read, shared with the new world; when empty, every
    // model entry reads its file.
    ModelCache* models = nullptr;
    // Called after every entry with its kind and the number of entities it
    // added.
    std::function<void(ObjectType, int)> onEntry{};
    // The folder whose models/ folder holds the scene's own models; a scene
    // loaded from a file has its file's.
    std::string sceneFolder{};
    // The folder that holds the game's assets/; empty for the working
    // directory.
    std::string assetRoot{};
    // When set, kept up to date as the scene is read (see LoadProgress).
    LoadProgress* progress = nullptr;
    // The memory the world may take, in bytes; 0 for what the machine has
    // available now.
    size_t memoryLimit = 0;
    // Whether the player is put at the scene's start (where it gives one)
    // before anything is built: a new game's player; a reloaded scene's
    // stays where it is.
    bool placePlayer = true;
};

// A scene as it was loaded: its world, or every problem that stops it.
struct SceneLoad {
    // Empty when a problem keeps the scene from being played.
    std::shared_ptr<World> world;
    // Every problem, in file order, also those that leave the world
    // playable (a model that is missing or refused, warnings), then those
    // of the world as a whole.
    std::vector<Problem> problems;
    // Named as in problem reports: the file's path.
    std::string sourceName;
    // The files it was read from, or would be read from once they exist:
    // the scene file (when it was loaded from one) and every place its
    // models were looked for. Kept when the world is refused, so that the
    // save that mends it is seen.
    std::vector<std::string> files{};

    // Whether any problem is more than a warning.
    bool hasErrors() const;
    // "FILE:LINE:COLUMN: error: message" of each problem, one a line.
    std::string report() const;
};

// Loads a scene the one way the game and its tools do: the file is read
// once, the memory its world needs is estimated and a world that would not
// fit refused, the random generators are seeded as at the game's start, and
// the world is built for the player (its box keeps clouds clear), going on
// after a problem so that every problem is found. Nothing is logged but the
// model entities' own lines.
SceneLoad loadWorld(std::string const& path, std::shared_ptr<Player> player, LoadOptions const& options = {});
// The same for a scene held in memory, named sourceName in problems.
SceneLoad loadWorldFromText(std::string const& text, std::string const& sourceName, std::shared_ptr<Player> player,
                            LoadOptions const& options = {});
