// The light shader and its lights, read back from the GPU program.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <string>

#include "gl-test.h"
#include "player.h"
#include "light.h"
#include "shader.h"
#include "world.h"

namespace {

int shaderFileLoads = 0;

char* countingLoadFileText(char const* fileName) {
    if (std::string(fileName).find("voxel_lighting") != std::string::npos) ++shaderFileLoads;
    int size = 0;
    unsigned char* data = raylib::LoadFileData(fileName, &size);
    char* text = static_cast<char*>(raylib::MemAlloc(static_cast<unsigned>(size) + 1));
    std::copy(data, data + size, text);
    raylib::UnloadFileData(data);
    return text;
}

// A uniform of up to four floats (or one int), by name.
struct Uniform {
    raylib::Shader shader;
    std::vector<float> floats(char const* name) const {
        std::vector<float> values(4);
        glGetUniformfv(shader.id, raylib::GetShaderLocation(shader, name), values.data());
        return values;
    }
    int integer(char const* name) const {
        int value = -1;
        glGetUniformiv(shader.id, raylib::GetShaderLocation(shader, name), &value);
        return value;
    }
};

// The light registry is process-wide and only grows, so its life is checked
// in one test, in order.
TEST(Lighting, ShaderLightsAndReloading) {
    raylib::SetLoadFileTextCallback(countingLoadFileText);
    auto const first = Shader::getLightShader();
    EXPECT_EQ(Shader::getLightShader(), first);
    EXPECT_EQ(shaderFileLoads, 2) << "vertex and fragment file, read once";
    raylib::Shader const shader = first->shader;
    ASSERT_NE(shader.id, raylib::rlGetShaderIdDefault()) << "the GLSL 330 pair must compile and link";
    Uniform const read{shader};
    EXPECT_EQ(read.floats("ambient"), (std::vector<float>{0.1f, 0.1f, 0.1f, 1.0f}));
    EXPECT_EQ(shader.locs[raylib::SHADER_LOC_VECTOR_VIEW], raylib::GetShaderLocation(shader, "viewPos"));
    {
        // The world registers the two scene lights, in slots 0 and 1.
        World world(std::make_shared<Player>());
        EXPECT_EQ(read.integer("lights[0].enabled"), 1);
        EXPECT_EQ(read.integer("lights[1].type"), 1);
        EXPECT_EQ(read.floats("lights[0].position"), (std::vector<float>{100, 200, -200, 0}));
        EXPECT_EQ(read.floats("lights[1].position"), (std::vector<float>{-200, 800, 100, 0}));
        EXPECT_EQ(read.floats("lights[0].target"), (std::vector<float>{0, 0, 0, 0}));
        EXPECT_EQ(read.floats("lights[1].target"), (std::vector<float>{0, 0, 0, 0}));
        EXPECT_EQ(read.floats("lights[0].color"), (std::vector<float>{225 / 255.0f, 225 / 255.0f, 200 / 255.0f, 1}));
        EXPECT_EQ(read.floats("lights[1].color"), (std::vector<float>{80 / 255.0f, 80 / 255.0f, 120 / 255.0f, 1}));
        EXPECT_EQ(read.integer("lights[2].enabled"), 0);

        Light const third = CreateLight(0, {1, 2, 3}, {4, 5, 6}, {255, 0, 0, 128}, shader);
        EXPECT_TRUE(third.enabled);
        EXPECT_EQ(third.colorLoc, raylib::GetShaderLocation(shader, "lights[2].color"));
        EXPECT_EQ(read.floats("lights[2].color"), (std::vector<float>{1, 0, 0, 128 / 255.0f}));
        EXPECT_EQ(read.floats("lights[2].target"), (std::vector<float>{4, 5, 6, 0}));
        EXPECT_EQ(read.integer("lights[2].type"), 0);
        Light const fourth = CreateLight(1, {0, 1, 0}, {0, 0, 0}, {1, 2, 3, 4}, shader);
        EXPECT_EQ(fourth.positionLoc, raylib::GetShaderLocation(shader, "lights[3].position"));
        Light const fifth = CreateLight(1, {7, 7, 7}, {0, 0, 0}, {1, 2, 3, 4}, shader);
        EXPECT_FALSE(fifth.enabled);
        EXPECT_EQ(fifth.enabledLoc | fifth.typeLoc | fifth.positionLoc | fifth.targetLoc | fifth.colorLoc, 0);
        EXPECT_EQ(read.floats("lights[0].position")[1], 200.0f);  // a refused light uploads nothing

        raylib::Camera3D camera{};
        camera.target = {7, 8, 9};
        world.updateLightShader(camera);
        if (shader.locs[raylib::SHADER_LOC_VECTOR_VIEW] >= 0) {
            EXPECT_EQ(read.floats("viewPos"), (std::vector<float>{7, 8, 9, 0}));
        }
    }
    // The world's destructor dropped the module's hold; ours keeps the old one.
    EXPECT_EQ(shaderFileLoads, 2);
    EXPECT_NE(Shader::getLightShader(), first);
    EXPECT_EQ(shaderFileLoads, 4);
    Shader::clearLightShader();
    raylib::SetLoadFileTextCallback(nullptr);
}

TEST(Lighting, SetModelShadersCoversEveryMaterial) {
    raylib::Model model = raylib::LoadModelFromMesh(raylib::GenMeshCube(1, 1, 1));
    model.materials = static_cast<raylib::Material*>(raylib::MemRealloc(model.materials, 3 * sizeof(raylib::Material)));
    model.materials[1] = raylib::LoadMaterialDefault();
    model.materials[2] = raylib::LoadMaterialDefault();
    model.materialCount = 3;
    setModelShaders(model);
    unsigned const lightId = Shader::getLightShader()->shader.id;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(model.materials[i].shader.id, lightId) << "material " << i;
    raylib::UnloadModel(model);  // which leaves the shader alone
    EXPECT_EQ(Shader::getLightShader()->shader.id, lightId);
    Shader::clearLightShader();
}

}  // namespace
