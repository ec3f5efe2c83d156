#include "lighting.h"

namespace {

char const* const VERTEX_PATH = "assets/shaders/glsl330/voxel_lighting.vs";
char const* const FRAGMENT_PATH = "assets/shaders/glsl330/voxel_lighting.fs";
constexpr float AMBIENT[4] = {0.1f, 0.1f, 0.1f, 1.0f};

}  // namespace

std::shared_ptr<Shader> Lighting::getLightShader() {
    if (lightShader) return lightShader;

    raylib::Shader loaded = raylib::LoadShader(VERTEX_PATH, FRAGMENT_PATH);
    loaded.locs[raylib::SHADER_LOC_VECTOR_VIEW] = raylib::GetShaderLocation(loaded, "viewPos");
    raylib::SetShaderValue(loaded, raylib::GetShaderLocation(loaded, "ambient"), AMBIENT, raylib::SHADER_UNIFORM_VEC4);
    for (size_t slot = 0; slot < registered.size(); ++slot)
        uploadLight(registered[slot], static_cast<int>(slot), loaded);
    lightShader = std::make_shared<Shader>(loaded);
    return lightShader;
}

void Lighting::clearLightShader() {
    lightShader.reset();
}

Light Lighting::CreateLight(int type, raylib::Vector3 position, raylib::Vector3 target, raylib::Color color,
                            raylib::Shader shader) {
    Light light{};
    if (registered.size() >= MAX_LIGHTS) return light;

    light.type = type;
    light.enabled = true;
    light.position = position;
    light.target = target;
    light.color = color;
    uploadLight(light, lightsCount(), shader);
    registered.push_back(light);
    return light;
}

void Lighting::setModelShaders(raylib::Model model) {
    for (int i = 0; i < model.materialCount; ++i) model.materials[i].shader = getLightShader()->shader;
}

void Lighting::setViewPosition(raylib::Vector3 point) {
    raylib::Shader const shader = getLightShader()->shader;
    raylib::SetShaderValue(shader, shader.locs[raylib::SHADER_LOC_VECTOR_VIEW], &point, raylib::SHADER_UNIFORM_VEC3);
}
