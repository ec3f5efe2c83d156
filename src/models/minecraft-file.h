#pragma once

#include <optional>
#include <string>
#include <vector>

#include "voxel-parts.h"

// The grey of a block whose colour the table below does not know.
inline constexpr raylib::Color UNKNOWN_BLOCK_GREY = {128, 128, 128, 255};

// The colour a block of Minecraft shows, from a table of the common ones:
// by its name without "minecraft:", the family of a dyed one (white_wool,
// red_concrete, ...) or what a stair, slab, fence, wall or door is made of
// (oak_stairs as oak planks). None for air, and for a block the table does
// not know.
std::optional<raylib::Color> blockColor(std::string const& name);
bool isAir(std::string const& name);

// Litematica's .litematic (gzip NBT: regions, each a palette of block
// states and their indices packed into longs) and the Sponge .schem
// (versions 2 and 3: a palette and varint indices), y up; their regions
// placed by their positions. Blocks without a colour are grey, and named
// in the warnings. Raise FormatError where they cannot be followed.
VoxelParts readLitematic(std::vector<unsigned char> const& bytes);
VoxelParts readSchem(std::vector<unsigned char> const& bytes);
