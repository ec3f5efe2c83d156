#include "lighting.h"

#include <string>

namespace {

char const* const VERTEX_PATH = "assets/shaders/glsl330/voxel_lighting.vs";
char const* const FRAGMENT_PATH = "assets/shaders/glsl330/voxel_lighting.fs";
constexpr float AMBIENT[4] = {0.1f, 0.1f, 0.1f, 1.0f};

}  // namespace

std::shared_ptr<Shader> Lighting::getLightShader() {
    if (!lightShader) lightShader = lit(raylib::LoadShader(VERTEX_PATH, FRAGMENT_PATH));
    return lightShader;
}

std::shared_ptr<Shader> Lighting::getFaceShader() {
    if (faceShader) return faceShader;
    // The same source, with FACES defined after its version line.
    char* const text = raylib::LoadFileText(VERTEX_PATH);
    std::string source = text ? text : "";
    raylib::UnloadFileText(text);
    size_t const versionEnd = source.find('\n');
    if (versionEnd != std::string::npos) source.insert(versionEnd + 1, "#define FACES\n");
    char* const fragment = raylib::LoadFileText(FRAGMENT_PATH);
    faceShader = lit(raylib::LoadShaderFromMemory(source.c_str(), fragment));
    raylib::UnloadFileText(fragment);
    return faceShader;
}

std::shared_ptr<Shader> Lighting::lit(raylib::Shader loaded) {
    loaded.locs[raylib::SHADER_LOC_VECTOR_VIEW] = raylib::GetShaderLocation(loaded, "viewPos");
    raylib::SetShaderValue(loaded, raylib::GetShaderLocation(loaded, "ambient"), AMBIENT, raylib::SHADER_UNIFORM_VEC4);
    for (size_t slot = 0; slot < registered.size(); ++slot) {
        Light light = registered[slot];
        uploadLight(light, static_cast<int>(slot), loaded);
    }
    return std::make_shared<Shader>(loaded);
}

void Lighting::clearLightShader() {
    lightShader.reset();
    faceShader.reset();
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
    // The faces' program, once loaded, is lit alike.
    if (faceShader) {
        Light copy = light;
        uploadLight(copy, lightsCount(), faceShader->shader);
    }
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
