#pragma once

#include <cstddef>
#include <string>
#include <vector>

// How far raylib's .vox loader may read past the end of a file's data: after
// the palette chunk it reads a 12-byte chunk header from the last 4 bytes.
// Files are handed to it with this many zero bytes of padding.
inline constexpr size_t VOX_READ_PADDING = 16;
// The largest .vox file and the most voxels the game accepts: a model's mesh
// grows with its voxels, and no real model comes near these.
inline constexpr size_t MAX_VOX_FILE_BYTES = 16u << 20;
inline constexpr size_t MAX_VOX_VOXELS = 1u << 19;
inline constexpr int MAX_VOX_MODELS = 64;

// What is wrong with a .vox file of this many bytes before it is read: too
// large to be a model. Empty when the size is fine.
std::string voxFileSizeProblem(unsigned long long bytes);

// Walks a .vox file's chunks exactly as raylib's loader does and says what in
// it would make that loader read beyond the data (and its padding), write
// outside its voxel array, allocate without bound or run for very long.
// Empty when raylib can load the file safely.
std::string voxFileProblem(std::vector<unsigned char> const& data);
