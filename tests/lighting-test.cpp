// The light shader and its lights, read back from the GPU program.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <string>

#include "gl-test.h"
#include "player.h"
#include "shader.h"
#include "world.h"

namespace {

int shaderFileLoads = 0;

char* countingLoadFileText(char const* fileName) {
    if (std::string(fileName).find("voxel_lighting") != std::string::npos) ++shaderFileLoads;
    int size = 0;
    unsigned char* data = raylib::LoadFileData(fileName, &size);
    if (data == nullptr) return nullptr;
    char* text = static_cast<char*>(raylib::MemAlloc(static_cast<unsigned>(size) + 1));
    std::copy(data, data + size, text);
    text[size] = '\0';
    raylib::UnloadFileData(data);
    return text;
}

int location(raylib::Shader shader, char const* name) {
    return raylib::GetShaderLocation(shader, name);
}

struct Uniform4 { float v[4]; };

Uniform4 readFloats(raylib::Shader shader, int loc) {
    Uniform4 u{};
    glGetUniformfv(shader.id, loc, u.v);
    return u;
}

int readInt(raylib::Shader shader, int loc) {
    int value = -1;
    glGetUniformiv(shader.id, loc, &value);
    return value;
}

// The light registry is process-wide and only grows, so its life is checked
// in one test, in order.
TEST(Lighting, ShaderLightsAndReloading) {
    raylib::SetLoadFileTextCallback(countingLoadFileText);

    auto const first = Shader::getLightShader();
    auto const again = Shader::getLightShader();
    EXPECT_EQ(first, again);
    EXPECT_EQ(shaderFileLoads, 2) << "vertex and fragment file, read once";
    raylib::Shader const shader = first->shader;
    ASSERT_NE(shader.id, raylib::rlGetShaderIdDefault()) << "the GLSL 330 pair must compile and link";

    Uniform4 const ambient = readFloats(shader, location(shader, "ambient"));
    EXPECT_FLOAT_EQ(ambient.v[0], 0.1f);
    EXPECT_FLOAT_EQ(ambient.v[3], 1.0f);
    EXPECT_EQ(shader.locs[raylib::SHADER_LOC_VECTOR_VIEW], location(shader, "viewPos"));

    {
        // The world registers the two scene lights, in slots 0 and 1.
        World world(std::make_shared<Player>());
        EXPECT_EQ(readInt(shader, location(shader, "lights[0].enabled")), 1);
        EXPECT_EQ(readInt(shader, location(shader, "lights[0].type")), 1);
        Uniform4 const sun = readFloats(shader, location(shader, "lights[0].position"));
        EXPECT_FLOAT_EQ(sun.v[1], 200.0f);
        Uniform4 const sky = readFloats(shader, location(shader, "lights[1].color"));
        EXPECT_FLOAT_EQ(sky.v[2], 120.0f / 255.0f);
        EXPECT_EQ(readInt(shader, location(shader, "lights[2].enabled")), 0);

        Light const third = CreateLight(0, {1, 2, 3}, {4, 5, 6}, {255, 0, 0, 128}, shader);
        EXPECT_TRUE(third.enabled);
        EXPECT_EQ(third.enabledLoc, location(shader, "lights[2].enabled"));
        EXPECT_EQ(third.colorLoc, location(shader, "lights[2].color"));
        Uniform4 const red = readFloats(shader, third.colorLoc);
        EXPECT_FLOAT_EQ(red.v[0], 1.0f);
        EXPECT_FLOAT_EQ(red.v[1], 0.0f);
        EXPECT_FLOAT_EQ(red.v[2], 0.0f);
        EXPECT_FLOAT_EQ(red.v[3], 128.0f / 255.0f);
        Uniform4 const target = readFloats(shader, third.targetLoc);
        EXPECT_FLOAT_EQ(target.v[2], 6.0f);
        EXPECT_EQ(readInt(shader, third.typeLoc), 0);

        Light const fourth = CreateLight(1, {0, 1, 0}, {0, 0, 0}, {1, 2, 3, 4}, shader);
        EXPECT_EQ(fourth.positionLoc, location(shader, "lights[3].position"));

        Light const fifth = CreateLight(1, {0, 1, 0}, {0, 0, 0}, {1, 2, 3, 4}, shader);
        EXPECT_FALSE(fifth.enabled);
        EXPECT_EQ(fifth.enabledLoc, 0);
        EXPECT_EQ(fifth.typeLoc, 0);
        EXPECT_EQ(fifth.positionLoc, 0);
        EXPECT_EQ(fifth.targetLoc, 0);
        EXPECT_EQ(fifth.colorLoc, 0);
        // Slot 0 keeps the sun: a refused light uploads nothing.
        EXPECT_FLOAT_EQ(readFloats(shader, location(shader, "lights[0].position")).v[1], 200.0f);

        raylib::Camera3D camera{};
        camera.target = {7, 8, 9};
        world.updateLightShader(camera);
        if (shader.locs[raylib::SHADER_LOC_VECTOR_VIEW] >= 0) {
            EXPECT_FLOAT_EQ(readFloats(shader, shader.locs[raylib::SHADER_LOC_VECTOR_VIEW]).v[1], 8.0f);
        }
    }
    // The world's destructor dropped the module's hold; ours keeps the old one.
    EXPECT_EQ(shaderFileLoads, 2);
    auto const reloaded = Shader::getLightShader();
    EXPECT_NE(reloaded, first);
    EXPECT_EQ(shaderFileLoads, 4);
    Shader::clearLightShader();
    raylib::SetLoadFileTextCallback(nullptr);
}

TEST(Lighting, SetModelShadersCoversEveryMaterial) {
    raylib::Model model = raylib::LoadModelFromMesh(raylib::GenMeshCube(1, 1, 1));
    raylib::Material* materials = static_cast<raylib::Material*>(
        raylib::MemRealloc(model.materials, 3 * sizeof(raylib::Material)));
    materials[1] = raylib::LoadMaterialDefault();
    materials[2] = raylib::LoadMaterialDefault();
    model.materials = materials;
    model.materialCount = 3;

    setModelShaders(model);
    unsigned const lightId = Shader::getLightShader()->shader.id;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(model.materials[i].shader.id, lightId) << "material " << i;

    // Unloading the model leaves the shader alone.
    raylib::UnloadModel(model);
    EXPECT_EQ(Shader::getLightShader()->shader.id, lightId);
    Shader::clearLightShader();
}

}  // namespace
