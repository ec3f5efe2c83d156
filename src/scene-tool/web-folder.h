#pragma once

#include <filesystem>
#include <string>

// The web build's files: the page, the game and its packed assets.
inline char const* const WEB_FILES[] = {"index.html", "tessarine.js", "tessarine.wasm", "tessarine.data"};

// The folder holding the web build (scripts/build-web writes it into the
// project's build/web; an installation keeps it as web/ beside assets/), or
// an empty path when there is none.
std::filesystem::path webBuildFolder(std::filesystem::path const& assets);

// What keeps the folder from receiving a web folder: it must be new, empty,
// or one written before (whose scene is then replaced). Empty when it will do.
std::string webOutputProblem(std::filesystem::path const& folder);

// Writes the web build into the folder, with the scene file under scene/,
// the models/ folder beside it (its .vox files), and scene/files.json,
// which names the scene and every file the page puts beside it. Returns
// what went wrong, or an empty string.
std::string writeWebFolder(std::filesystem::path const& webBuild, std::filesystem::path const& scene,
                           std::filesystem::path const& folder);

// The text as a JSON string, quoted and escaped.
std::string jsonString(std::string const& text);
