#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "protocol.h"
#include "scene-loader.h"

// The scene file's name among the files a server sends.
inline constexpr char const* SCENE_FILE_NAME = "scene.txt";

// One file of a scene as the server sends it: its path relative to the
// scene's folder, and its bytes.
struct SceneFile {
    std::string path;
    std::vector<uint8_t> bytes;
};

// A scene as a server serves it: checked as the scene tool checks it, and
// the files a player needs to play it: the scene's text and each model file
// it reads, wherever it was found, under models/ as the scene names it.
struct ServedScene {
    // Its world and problems; no files when a problem is more than a warning.
    SceneLoad load;
    std::vector<SceneFile> files;
    uint64_t bytes() const;
};

ServedScene readServedScene(std::string const& path, std::string const& assetRoot);

// Whether a client may write a file of that path in its scene folder:
// scene.txt, or a model file under models/, of plain names alone (letters,
// digits, '-', '_', '.', none starting with '.'), no deeper than eight.
bool isSafeScenePath(std::string const& path);

// Receives a scene's files into a folder of its own: into incoming/ while
// they come, then into scene/ in one step once every file is whole. A
// message out of turn, a path it may not write or a size over the bounds
// ends the transfer, with what went wrong.
class SceneReceiver {
public:
    explicit SceneReceiver(std::filesystem::path folder) : folder(std::move(folder)) {}

    // Each returns what went wrong, or an empty string.
    std::string begin(SceneStart const& start);
    std::string beginFile(FileStart const& file);
    std::string add(FilePart const& part);
    std::string finish();

    uint64_t received() const { return bytesReceived; }
    uint64_t total() const { return bytesTotal; }
    // The scene file of the last whole set.
    std::filesystem::path scenePath() const { return folder / "scene" / SCENE_FILE_NAME; }

private:
    std::filesystem::path folder;
    bool receiving = false;
    uint16_t filesTotal = 0, filesStarted = 0;
    uint64_t bytesTotal = 0, bytesReceived = 0, bytesAnnounced = 0;
    uint64_t fileLeft = 0;
    std::ofstream file;
    std::vector<std::string> paths;
};

// The folder of the user's cache where a game keeps the scene of the server
// it joins, one a server (HOST-PORT), held by this process alone while it
// lives: a second game joining the same server takes HOST-PORT-2.
class JoinedFolder {
public:
    // Empty, with the problem said, when no folder can be made or taken.
    static std::unique_ptr<JoinedFolder> claim(std::string const& server, std::string& problem);
    ~JoinedFolder();
    JoinedFolder(JoinedFolder const&) = delete;
    JoinedFolder& operator=(JoinedFolder const&) = delete;

    std::filesystem::path const path;

private:
    JoinedFolder(std::filesystem::path path, int lock) : path(std::move(path)), lock(lock) {}
    int lock = -1;
};

// The user's cache folder: $XDG_CACHE_HOME, else ~/.cache.
std::filesystem::path cacheFolder();
