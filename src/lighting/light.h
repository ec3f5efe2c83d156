#pragma once

#include "raylib-api.h"

// The light type that shines one way everywhere, as the sun does.
inline constexpr int LIGHT_DIRECTIONAL = 1;

// The slots of the light shader's light array.
inline constexpr int MAX_LIGHTS = 4;

// A light registered in the shader's light array; enabled is false (and every
// location 0) when all slots were taken.
struct Light {
    int type;
    bool enabled;
    raylib::Vector3 position;
    raylib::Vector3 target;
    raylib::Color color;
    int enabledLoc;
    int typeLoc;
    int positionLoc;
    int targetLoc;
    int colorLoc;
};

// Looks up the light's uniforms in the slot of the shader, keeps their
// locations in the light and uploads its values.
void uploadLight(Light& light, int slot, raylib::Shader shader);
