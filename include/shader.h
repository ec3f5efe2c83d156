#pragma once

#include <memory>

#include "raylib-api.h"

// Holds the one light shader every box and model is drawn with. Loaded on
// first use, kept until clearLightShader, unloaded when the last holder lets
// go.
class Shader {
public:
    explicit Shader(raylib::Shader shader) : shader(shader) {}
    ~Shader();
    Shader(Shader const&) = delete;
    Shader& operator=(Shader const&) = delete;

    static std::shared_ptr<Shader> getLightShader();
    static void clearLightShader();

    raylib::Shader const shader;
};

// Puts the light shader on every material of the model. The material array
// is shared with the caller's copy, so the caller's model changes.
void setModelShaders(raylib::Model model);

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
