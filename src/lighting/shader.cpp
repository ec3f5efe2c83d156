#include "shader.h"

#include "light.h"

namespace {

char const* const VERTEX_PATH = "assets/shaders/glsl330/voxel_lighting.vs";
char const* const FRAGMENT_PATH = "assets/shaders/glsl330/voxel_lighting.fs";

std::shared_ptr<Shader> lightShaderPtr;

}  // namespace

Shader::~Shader() {
    raylib::UnloadShader(shader);
}

std::shared_ptr<Shader> Shader::getLightShader() {
    if (lightShaderPtr) return lightShaderPtr;

    raylib::Shader loaded = raylib::LoadShader(VERTEX_PATH, FRAGMENT_PATH);
    loaded.locs[raylib::SHADER_LOC_VECTOR_VIEW] = raylib::GetShaderLocation(loaded, "viewPos");
    float const ambient[4] = {0.1f, 0.1f, 0.1f, 1.0f};
    raylib::SetShaderValue(loaded, raylib::GetShaderLocation(loaded, "ambient"), ambient, raylib::SHADER_UNIFORM_VEC4);
    uploadLights(loaded);
    lightShaderPtr = std::make_shared<Shader>(loaded);
    return lightShaderPtr;
}

void Shader::clearLightShader() {
    lightShaderPtr.reset();
}

void setModelShaders(raylib::Model model) {
    if (!raylib::IsWindowReady()) return;
    for (int i = 0; i < model.materialCount; ++i) {
        model.materials[i].shader = Shader::getLightShader()->shader;
    }
}

void setViewPosition(raylib::Vector3 point) {
    raylib::Shader const shader = Shader::getLightShader()->shader;
    raylib::SetShaderValue(shader, shader.locs[raylib::SHADER_LOC_VECTOR_VIEW], &point, raylib::SHADER_UNIFORM_VEC3);
}
