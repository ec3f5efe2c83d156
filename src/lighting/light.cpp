#include "light.h"

#include <vector>

#include "shader.h"

namespace {

// The lights registered so far, by slot; their number is the slot the next
// light takes. Never reset, even when the shader is reloaded.
std::vector<Light> registered;

// Looks up the light's uniforms in the slot of the shader and uploads its values.
void upload(Light& light, int slot, raylib::Shader shader) {
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

}  // namespace

Light CreateLight(int type, raylib::Vector3 position, raylib::Vector3 target, raylib::Color color,
                  raylib::Shader shader) {
    Light light{};
    if (registered.size() >= MAX_LIGHTS) return light;

    light.type = type;
    light.enabled = true;
    light.position = position;
    light.target = target;
    light.color = color;
    upload(light, static_cast<int>(registered.size()), shader);
    registered.push_back(light);
    return light;
}

void uploadLights(raylib::Shader shader) {
    for (size_t slot = 0; slot < registered.size(); ++slot) upload(registered[slot], static_cast<int>(slot), shader);
}

void createSceneLights() {
    // The scene's lights are the same for every world of the run: a world
    // made after another (the scene read again) finds them registered.
    static bool created = false;
    if (created) return;
    created = true;
    CreateLight(1, {100, 200, -200}, {0, 0, 0}, {225, 225, 200, 255}, Shader::getLightShader()->shader);
    CreateLight(1, {-200, 800, 100}, {0, 0, 0}, {80, 80, 120, 255}, Shader::getLightShader()->shader);
}
