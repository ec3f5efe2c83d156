#pragma once

#include "raylib-api.h"

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

// Registers a light in the next free slot of the shader's light array and
// uploads its values.
Light CreateLight(int type, raylib::Vector3 position, raylib::Vector3 target, raylib::Color color,
                  raylib::Shader shader);

// Uploads every light registered so far to a shader, each in its slot: the
// light shader, loaded again after it was cleared, is lit as before.
void uploadLights(raylib::Shader shader);

// Registers the scene's two lights in the light shader, loading it if this
// is its first use: a warm sun and a dim blue sky light. Once a run.
void createSceneLights();
