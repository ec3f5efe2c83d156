#include "light.h"

#include "shader.h"

namespace {

// Lights registered so far: the slot the next light takes. Never reset, even
// when the shader is reloaded.
int lightsCount = 0;

}  // namespace

Light CreateLight(int type, raylib::Vector3 position, raylib::Vector3 target, raylib::Color color,
                  raylib::Shader shader) {
    Light light{};
    if (lightsCount >= MAX_LIGHTS) return light;

    light.type = type;
    light.enabled = true;
    light.position = position;
    light.target = target;
    light.color = color;

    int const i = lightsCount;
    light.enabledLoc = raylib::GetShaderLocation(shader, raylib::TextFormat("lights[%i].enabled", i));
    light.typeLoc = raylib::GetShaderLocation(shader, raylib::TextFormat("lights[%i].type", i));
    light.positionLoc = raylib::GetShaderLocation(shader, raylib::TextFormat("lights[%i].position", i));
    light.targetLoc = raylib::GetShaderLocation(shader, raylib::TextFormat("lights[%i].target", i));
    light.colorLoc = raylib::GetShaderLocation(shader, raylib::TextFormat("lights[%i].color", i));

    int const enabled = 1;
    raylib::SetShaderValue(shader, light.enabledLoc, &enabled, raylib::SHADER_UNIFORM_INT);
    raylib::SetShaderValue(shader, light.typeLoc, &light.type, raylib::SHADER_UNIFORM_INT);
    raylib::SetShaderValue(shader, light.positionLoc, &light.position, raylib::SHADER_UNIFORM_VEC3);
    raylib::SetShaderValue(shader, light.targetLoc, &light.target, raylib::SHADER_UNIFORM_VEC3);
    float const colorValues[4] = {color.r / 255.0f, color.g / 255.0f, color.b / 255.0f, color.a / 255.0f};
    raylib::SetShaderValue(shader, light.colorLoc, colorValues, raylib::SHADER_UNIFORM_VEC4);

    ++lightsCount;
    return light;
}

void createSceneLights() {
    CreateLight(1, {100, 200, -200}, {0, 0, 0}, {225, 225, 200, 255}, Shader::getLightShader()->shader);
    CreateLight(1, {-200, 800, 100}, {0, 0, 0}, {80, 80, 120, 255}, Shader::getLightShader()->shader);
}
