#pragma once

#include <cstdint>

#include "intersector.h"

// FNV-1a over every entity's box (its corners and size, as stored) and, for
// boxes, colour, in the index's order: the same scene seeded the same way
// gives the same digest on every run.
uint64_t worldDigest(Intersector const& index);

// The digest of nothing, to add bytes to.
inline constexpr uint64_t DIGEST_START = 14695981039346656037u;

// FNV-1a of more bytes on top of a digest.
uint64_t digestOf(uint64_t digest, void const* data, size_t size);
