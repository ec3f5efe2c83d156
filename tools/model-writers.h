#pragma once

// Writes a voxel model in the formats of other editors, each as that
// editor saves it, for the tests that check the game reads them as it reads
// the same model saved as .vox. The model is MagicaVoxel's (z up); each
// writer turns it into its format's axes.
#include <cstdint>
#include <string>
#include <vector>

#include "vox-writer.h"

// Qubicle's binary .qb, RGBA, one matrix at the origin, its slices
// run-length packed or not, left-handed or right-handed.
std::vector<uint8_t> encodeQb(VoxModel const& model, bool packed, bool rightHanded = false);
// Qubicle's exchange format .qbt, one matrix, its colours given as they are.
std::vector<uint8_t> encodeQbt(VoxModel const& model);

// binvox: the cells filled, without colours, y up.
std::vector<uint8_t> encodeBinvox(VoxModel const& model);

// Voxlap's .kv6: every voxel, column by column, z down.
std::vector<uint8_t> encodeKv6(VoxModel const& model);
// Westwood's .vxl: one section of the model's size, its palette the model's.
std::vector<uint8_t> encodeVxl(VoxModel const& model);

// Goxel's .gox: one layer of the blocks of 16 voxels a side the model
// touches, each a PNG picture, z up.
std::vector<uint8_t> encodeGox(VoxModel const& model);

// Minecraft schematics, gzip NBT: Litematica's .litematic (one region,
// its indices packed into longs) and a Sponge .schem of version 2 or 3
// (varint indices). Colour index i + 1 is the block blocks[i]
// ("minecraft:stone").
std::vector<uint8_t> encodeLitematic(VoxModel const& model, std::vector<std::string> const& blocks);
std::vector<uint8_t> encodeSchem(VoxModel const& model, std::vector<std::string> const& blocks, int version = 2);

// The model as a .vox with a scene graph of one shape, as MagicaVoxel saves
// it: shown as it is, without the rounding of a file without one.
VoxScene placedAlone(VoxModel const& model);
