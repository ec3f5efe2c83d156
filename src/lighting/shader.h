#pragma once

#include <memory>

#include "raylib-api.h"

// Holds the one light shader every box and model is drawn with. Loaded on
// first use, kept until clearLightShader, unloaded when the last holder lets
// go. Needs the window (the graphics context) to exist.
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
// is shared with the caller's copy, so the caller's model changes. Without a
// window there is no shader to put, and the model is left as it is.
void setModelShaders(raylib::Model model);

// Uploads the point the viewer looks at as the shader's "viewPos".
void setViewPosition(raylib::Vector3 point);
