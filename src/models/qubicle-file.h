#pragma once

#include <vector>

#include "voxel-parts.h"

// Qubicle's files: the binary .qb (matrices with names, sizes and
// positions, RGBA or BGRA colours, run-length packed or not) and the
// exchange format .qbt ("QB 2": a colour map and a tree of models,
// compounds and matrices, each matrix zlib-packed). Matrices are placed by
// their positions, y up; a left-handed file's z runs away from the front.
// Raise FormatError where they cannot be followed.
VoxelParts readQb(std::vector<unsigned char> const& bytes);
VoxelParts readQbt(std::vector<unsigned char> const& bytes);
