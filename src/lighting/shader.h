#pragma once

#include <memory>
#include <string>

#include "raylib-api.h"

// Holds one GPU shader program and unloads it when the last holder lets go.
// Needs the window (the graphics context) to exist for its whole life.
class Shader {
public:
    explicit Shader(raylib::Shader shader) : shader(shader) {}
    ~Shader();
    Shader(Shader const&) = delete;
    Shader& operator=(Shader const&) = delete;

    raylib::Shader const shader;
};
