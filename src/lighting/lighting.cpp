#include "lighting.h"

#include <algorithm>
#include <string>

#include "asset-path.h"

namespace {

char const* const VERTEX_PATH = "assets/shaders/glsl330/voxel_lighting.vs";
char const* const FRAGMENT_PATH = "assets/shaders/glsl330/voxel_lighting.fs";
char const* const RICH_VERTEX_PATH = "assets/shaders/glsl330/voxel_rich.vs";
char const* const RICH_FRAGMENT_PATH = "assets/shaders/glsl330/voxel_rich.fs";
constexpr float AMBIENT[4] = {0.1f, 0.1f, 0.1f, 1.0f};

// The text of a shader file as this platform's OpenGL takes it, with
// defines added after its version line. The files are GLSL 3.30; WebGL 2
// takes the same language as GLSL ES 3.00, which differs in its first line
// and in asking for the precision of floats. Empty when the file cannot be
// read.
std::string shaderText(std::string const& path, char const* defines) {
    char* const loaded = raylib::LoadFileText(path.c_str());
    std::string text = loaded ? loaded : "";
    raylib::UnloadFileText(loaded);
    size_t const firstLine = text.find('\n');
    if (firstLine == std::string::npos) return text;
#ifdef __EMSCRIPTEN__
    text.replace(0, firstLine, "#version 300 es\nprecision highp float;");
#endif
    return text.insert(text.find('\n') + 1, defines);
}

// raylib takes a missing text for its default shader's.
char const* orNull(std::string const& text) {
    return text.empty() ? nullptr : text.c_str();
}

// The sun's light on a face of the normal: none where it turns away.
raylib::Vector3 sunLightOf(Atmosphere const& atmosphere, raylib::Vector3 normal) {
    float const facing =
        std::max(raylib::Vector3DotProduct(normal, raylib::Vector3Normalize(atmosphere.towardSun)), 0.0f);
    return raylib::Vector3Scale(SUN_LIGHT, facing);
}

}  // namespace

void setShaderVector(raylib::Shader shader, char const* name, raylib::Vector3 value) {
    raylib::SetShaderValue(shader, raylib::GetShaderLocation(shader, name), &value, raylib::SHADER_UNIFORM_VEC3);
}

raylib::Vector3 colorFractions(raylib::Color c) {
    return {c.r / 255.0f, c.g / 255.0f, c.b / 255.0f};
}

raylib::Shader loadShaderFiles(std::string const& assetRoot, char const* vertexPath, char const* fragmentPath,
                               char const* vertexDefines, char const* fragmentDefines) {
    std::string const vertex = shaderText(assetPath(assetRoot, vertexPath), vertexDefines);
    std::string const fragment = shaderText(assetPath(assetRoot, fragmentPath), fragmentDefines);
    return raylib::LoadShaderFromMemory(orNull(vertex), orNull(fragment));
}

std::shared_ptr<Shader> Lighting::getLightShader() {
    if (!lightShader) lightShader = load("");
    return lightShader;
}

std::shared_ptr<Shader> Lighting::getFaceShader() {
    if (!faceShader) faceShader = load("#define FACES\n");
    return faceShader;
}

std::shared_ptr<Shader> Lighting::getFlatFaceShader() {
    if (!flatFaceShader) flatFaceShader = load("#define FACES\n#define FACE_LIGHT\n", "#define FACE_LIGHT\n");
    return flatFaceShader;
}

std::optional<raylib::Vector3> Lighting::lightOfFaces(raylib::Vector3 normal) const {
    constexpr float DIFFUSE_WEIGHT = 0.8f;
    raylib::Vector3 light{AMBIENT[0], AMBIENT[1], AMBIENT[2]};
    for (Light const& source : registered) {
        if (!source.enabled) continue;
        if (source.type != LIGHT_DIRECTIONAL) return std::nullopt;
        raylib::Vector3 const toLight =
            raylib::Vector3Normalize(raylib::Vector3Subtract(source.position, source.target));
        float const facing = raylib::Vector3DotProduct(normal, toLight) * 0.5f + 0.5f;
        raylib::Vector3 const color{source.color.r / 255.0f, source.color.g / 255.0f, source.color.b / 255.0f};
        light = raylib::Vector3Add(light, raylib::Vector3Scale(color, DIFFUSE_WEIGHT * facing));
    }
    return light;
}

std::shared_ptr<Shader> Lighting::load(char const* vertexDefines, char const* fragmentDefines) {
    return lit(loadShaderFiles(assetRoot, VERTEX_PATH, FRAGMENT_PATH, vertexDefines, fragmentDefines));
}

std::shared_ptr<Shader> Lighting::getRichProgram(RichProgram which, bool shadows) {
    // The defines of each program's vertex and fragment files.
    static char const* const defines[RICH_PROGRAMS][2] = {
        {"", ""},
        {"#define FACES\n", "#define FACES\n"},
        {"#define FACES\n#define FACE_LIGHT\n", "#define FACES\n#define FACE_LIGHT\n"},
        {"", "#define NO_FOG\n"},
        {"#define FACES\n#define FACE_LIGHT\n", "#define FACES\n#define FACE_LIGHT\n#define NO_FOG\n"},
        {"#define SHEEN\n", "#define SHEEN\n"},
        {"#define SHEEN\n", "#define SHEEN\n#define NO_FOG\n"},
    };
    std::shared_ptr<Shader>& loaded = richPrograms[shadows][which];
    if (loaded) return loaded;
    std::string const shadowDefine = shadows ? "#define SHADOWS\n" : "";
    std::string const vertex = shadowDefine + defines[which][0], fragment = shadowDefine + defines[which][1];
    loaded = std::make_shared<Shader>(
        loadShaderFiles(assetRoot, RICH_VERTEX_PATH, RICH_FRAGMENT_PATH, vertex.c_str(), fragment.c_str()));
    if (shadows) {
        int const unit = SHADOW_UNIT;
        raylib::SetShaderValue(loaded->shader, raylib::GetShaderLocation(loaded->shader, "shadowMap"), &unit,
                               raylib::SHADER_UNIFORM_INT);
    }
    return loaded;
}

raylib::Vector3 richLightOf(Atmosphere const& atmosphere, raylib::Vector3 normal) {
    float const above = normal.y * 0.5f + 0.5f;
    return raylib::Vector3Add(raylib::Vector3Lerp(GROUND_LIGHT, SKY_LIGHT, above), sunLightOf(atmosphere, normal));
}

raylib::Vector3 richSunShareOf(Atmosphere const& atmosphere, raylib::Vector3 normal) {
    return raylib::Vector3Divide(sunLightOf(atmosphere, normal), richLightOf(atmosphere, normal));
}

void Lighting::setAtmosphere(Atmosphere const& atmosphere, raylib::Vector3 eye, bool shadows) {
    for (int which = 0; which < RICH_PROGRAMS; ++which)
        setAtmosphere(getRichProgram(static_cast<RichProgram>(which), shadows)->shader, atmosphere, eye);
}

void Lighting::setAtmosphere(raylib::Shader program, Atmosphere const& atmosphere, raylib::Vector3 eye) {
    float const fogRange[2] = {atmosphere.fogStart, atmosphere.fogEnd};
    setShaderVector(program, "towardSun", raylib::Vector3Normalize(atmosphere.towardSun));
    setShaderVector(program, "sunLight", SUN_LIGHT);
    setShaderVector(program, "skyLight", SKY_LIGHT);
    setShaderVector(program, "groundLight", GROUND_LIGHT);
    setShaderVector(program, "eyePosition", eye);
    setShaderVector(program, "fogColor", colorFractions(atmosphere.horizon));
    raylib::SetShaderValue(program, raylib::GetShaderLocation(program, "fogRange"), fogRange,
                           raylib::SHADER_UNIFORM_VEC2);
}

void Lighting::setSunView(raylib::Matrix sunViewProjection) {
    for (int which = 0; which < RICH_PROGRAMS; ++which) {
        raylib::Shader const shader = getRichProgram(static_cast<RichProgram>(which), true)->shader;
        raylib::SetShaderValueMatrix(shader, raylib::GetShaderLocation(shader, "sunViewProjection"), sunViewProjection);
    }
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
    flatFaceShader.reset();
    for (auto& programs : richPrograms) programs = {};
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
    // The faces' programs, once loaded, are lit alike.
    for (auto const& faces : {faceShader, flatFaceShader}) {
        if (!faces) continue;
        Light copy = light;
        uploadLight(copy, lightsCount(), faces->shader);
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
