#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "problem.h"
#include "raylib-api.h"
#include "voxel-grid.h"

// The largest .vox file the game reads, the most models one may hold (each
// at most 256 voxels a side, as MagicaVoxel makes them), and the most
// voxels a scene of the file may place in all: every voxel of a file at
// the size limit, placed once (4 bytes a voxel).
inline constexpr size_t MAX_VOX_FILE_BYTES = 16u << 20;
inline constexpr int MAX_VOX_MODELS = 4096;
inline constexpr size_t MAX_COMPOSED_VOXELS = MAX_VOX_FILE_BYTES / 4;
// The widest scene along each axis, in voxels: MagicaVoxel's world.
inline constexpr int MAX_COMPOSED_SIDE = 2048;

// The palette of a file without an RGBA chunk, MagicaVoxel's default: a
// cube of six levels a channel, then ramps of red, green, blue and grey.
std::array<raylib::Color, 256> const& defaultVoxPalette();

// What is wrong with a .vox file of this many bytes before it is read: too
// large to be a model. None when the size is fine.
std::optional<Problem> voxFileSizeProblem(unsigned long long bytes);

// Reads a .vox file and says what in it the game refuses: a truncated or
// damaged chunk, a model size outside 1 to 256, voxels outside their model
// or before any model size, too many models, a scene graph that cannot be
// followed (a rotation that is not one, a node missing or met twice on one
// path, a shape naming no model) or that places too many voxels or spans
// too far. None when the file is accepted; then grid, when given, holds
// its voxels. A problem names no file: the caller knows it.
//
// A file with a scene graph (transform nodes) shows as MagicaVoxel shows
// it: every model under every chain of visible transforms from the root
// (node 0), turned and moved by each transform's first frame, those on a
// hidden layer left out. A file without one shows its last model, read as
// raylib's loader has always read it: children in line, the palette's
// first 255 entries, bytes just past the end as zeros, the grid's sides
// rounded up to 16.
std::optional<Problem> readVoxFile(std::vector<unsigned char> const& data, VoxelGrid* grid = nullptr);
