#pragma once

// Hostile .vox and scene files, made deterministically from a few good ones:
// truncations, flipped bytes, huge and negative counts and sizes, NaN and
// infinite numbers, deep nesting, very long words and lines.
#include <string>
#include <vector>

struct HostileFile {
    std::string name;
    std::string bytes;
};

// Mutations of our own small models and, when given, of other .vox files.
std::vector<HostileFile> hostileVoxFiles(std::vector<std::string> const& moreBases = {});
// Mutations of a small scene and of the given scene text.
std::vector<HostileFile> hostileSceneFiles(std::string const& baseScene);
