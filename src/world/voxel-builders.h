#pragma once

#include <memory>
#include <string>
#include <vector>

#include "aabox.h"
#include "random.h"

// Logs why to std::clog and throws it as std::runtime_error: how the world's
// builders refuse what they cannot build.
[[noreturn]] void refuse(std::string const& why);

// One colour of the scheme, picked with one rand() draw.
raylib::Color pickColor(ColorScheme const& colors);

// One box centred at position, coloured from the scheme (one rand() draw).
std::shared_ptr<AABox> buildVoxel(raylib::Vector3 position, raylib::Vector3 size, ColorScheme colors);

// One black box of random size in [0.9 * maxSize, maxSize) centred at a random
// point of [regionMin, regionMax - size): six rand() draws, sizes first.
std::shared_ptr<AABox> buildRandomCube(raylib::Vector3 regionMin, raylib::Vector3 regionMax, raylib::Vector3 maxSize);

inline constexpr size_t MAX_MOUNTAIN_SLABS = 100000;

// A stepped pyramid of orange slabs 0.1 thick, bottom slab first. A mountain
// of more than MAX_MOUNTAIN_SLABS slabs is refused with std::runtime_error.
std::vector<std::shared_ptr<Entity>> buildMountain(raylib::Vector3 position, raylib::Vector3 size);

// A list holding the one box buildVoxel makes; the third vector is unused.
std::vector<std::shared_ptr<Entity>> generateVoxelHouse(raylib::Vector3 position, raylib::Vector3 size,
                                                        raylib::Vector3 unused, ColorScheme colors);
