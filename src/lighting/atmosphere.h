#pragma once

#include "raylib-api.h"

// The sky, the sun and the fog of the rich looks; a scene may give its own.
struct Atmosphere {
    // The way to the sun: where the scene's warm light shines from; from
    // +z, the side MagicaVoxel shows a model from, so that a model's front
    // is in the sun.
    raylib::Vector3 towardSun{1.0f / 3, 2.0f / 3, 2.0f / 3};
    // The sky's colour at the horizon, which the fog takes too, and overhead.
    raylib::Color horizon{190, 220, 245, 255};
    raylib::Color zenith{70, 140, 225, 255};
    // Where the fog begins, and where it hides everything, in units from
    // the eye.
    float fogStart = 150, fogEnd = 900;
};

// The light of the rich looks, as fractions of a colour: the sun's where a
// face turns right at it, the sky's on a face turned up and on one turned
// down. A face turned away from the sun keeps more than half the light of
// one turned towards it.
inline constexpr raylib::Vector3 SUN_LIGHT{0.50f, 0.48f, 0.42f};
inline constexpr raylib::Vector3 SKY_LIGHT{0.60f, 0.64f, 0.70f};
inline constexpr raylib::Vector3 GROUND_LIGHT{0.50f, 0.50f, 0.50f};
