#pragma once

#include <cstdint>

#include "raylib-api.h"

// A colour as one number, and back: colours compare and sort as numbers.
inline uint32_t packedColor(raylib::Color c) {
    return uint32_t{c.r} | uint32_t{c.g} << 8 | uint32_t{c.b} << 16 | uint32_t{c.a} << 24;
}
inline raylib::Color unpackedColor(uint32_t c) {
    return {static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 8), static_cast<unsigned char>(c >> 16),
            static_cast<unsigned char>(c >> 24)};
}
