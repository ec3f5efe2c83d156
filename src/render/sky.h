#pragma once

#include "raylib-api.h"

// The colour behind everything: raylib's SKYBLUE.
inline constexpr raylib::Color SKY_COLOR{102, 191, 255, 255};
