#include "light.h"

void uploadLight(Light& light, int slot, raylib::Shader shader) {
    light.enabledLoc = raylib::GetShaderLocation(shader, raylib::TextFormat("lights[%i].enabled", slot));
    light.typeLoc = raylib::GetShaderLocation(shader, raylib::TextFormat("lights[%i].type", slot));
    light.positionLoc = raylib::GetShaderLocation(shader, raylib::TextFormat("lights[%i].position", slot));
    light.targetLoc = raylib::GetShaderLocation(shader, raylib::TextFormat("lights[%i].target", slot));
    light.colorLoc = raylib::GetShaderLocation(shader, raylib::TextFormat("lights[%i].color", slot));

    int const enabled = 1;
    raylib::SetShaderValue(shader, light.enabledLoc, &enabled, raylib::SHADER_UNIFORM_INT);
    raylib::SetShaderValue(shader, light.typeLoc, &light.type, raylib::SHADER_UNIFORM_INT);
    raylib::SetShaderValue(shader, light.positionLoc, &light.position, raylib::SHADER_UNIFORM_VEC3);
    raylib::SetShaderValue(shader, light.targetLoc, &light.target, raylib::SHADER_UNIFORM_VEC3);
    raylib::Color const color = light.color;
    float const colorValues[4] = {color.r / 255.0f, color.g / 255.0f, color.b / 255.0f, color.a / 255.0f};
    raylib::SetShaderValue(shader, light.colorLoc, colorValues, raylib::SHADER_UNIFORM_VEC4);
}
