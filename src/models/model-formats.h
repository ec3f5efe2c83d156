#pragma once

#include <optional>
#include <string>
#include <vector>

#include "problem.h"
#include "raylib-api.h"
#include "voxel-grid.h"

// The model files the game reads, by the ending of their names: MagicaVoxel
// first, then the other editors' formats.
inline constexpr char const* MODEL_EXTENSIONS[] = {".vox", ".qb",        ".qbt",   ".gox",   ".kv6",
                                                   ".vxl", ".litematic", ".schem", ".binvox"};

// The colour of a model whose format has none (binvox), unless its scene
// entry gives one.
inline constexpr raylib::Color PLAIN_MODEL_GREY = {160, 160, 160, 255};

// Whether the name ends in one of those.
bool hasModelExtension(std::string const& name);

// Reads a model file of the format its name's ending says, as readVoxFile
// reads a .vox: the problem that keeps it from being used, or none, and
// then grid, when given, holds its voxels, and warning, when given, what
// of it does not show as its editor shows it (empty when all of it does).
// Every format is held to the limits of a .vox: its size, its voxels and
// how far they span. A format without colours takes the plain one.
std::optional<Problem> readModelFile(std::string const& path, std::vector<unsigned char> const& bytes,
                                     VoxelGrid* grid = nullptr, std::string* warning = nullptr,
                                     raylib::Color plain = PLAIN_MODEL_GREY);
