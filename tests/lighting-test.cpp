// The light shader and its lights, read back from the GPU program.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "gl-test.h"
#include "light.h"
#include "shader.h"
#include "world.h"

namespace {

// The values of a light slot's uniforms: enabled and type, then position,
// target and colour (three, three and four floats).
std::vector<float> slot(raylib::Shader shader, int i) {
    int integers[2] = {-1, -1};
    glGetUniformiv(shader.id, raylib::GetShaderLocation(shader, raylib::TextFormat("lights[%i].enabled", i)),
                   &integers[0]);
    glGetUniformiv(shader.id, raylib::GetShaderLocation(shader, raylib::TextFormat("lights[%i].type", i)),
                   &integers[1]);
    std::vector<float> values{static_cast<float>(integers[0]), static_cast<float>(integers[1])};
    for (auto [name, count] : {std::pair{"position", 3}, {"target", 3}, {"color", 4}}) {
        float read[4] = {};
        glGetUniformfv(shader.id, raylib::GetShaderLocation(shader, raylib::TextFormat("lights[%i].%s", i, name)),
                       read);
        values.insert(values.end(), read, read + count);
    }
    return values;
}

// The light registry is process-wide and only grows, so its life is checked
// in one test, in order.
TEST(Lighting, ShaderLightsAndReloading) {
    auto const first = Shader::getLightShader();
    EXPECT_EQ(Shader::getLightShader(), first);
    raylib::Shader const shader = first->shader;
    ASSERT_NE(shader.id, raylib::rlGetShaderIdDefault()) << "the GLSL 330 pair must compile and link";
    float ambient[4] = {};
    glGetUniformfv(shader.id, raylib::GetShaderLocation(shader, "ambient"), ambient);
    EXPECT_EQ(std::vector<float>(ambient, ambient + 4), (std::vector<float>{0.1f, 0.1f, 0.1f, 1.0f}));
    EXPECT_EQ(shader.locs[raylib::SHADER_LOC_VECTOR_VIEW], raylib::GetShaderLocation(shader, "viewPos"));
    {
        // The world registers the scene's two lights in slots 0 and 1; two
        // more take slots 2 and 3, and a fifth is refused, uploading nothing.
        World world(std::make_shared<Player>());
        Light const third = CreateLight(0, {1, 2, 3}, {4, 5, 6}, {255, 0, 0, 128}, shader);
        Light const fourth = CreateLight(1, {0, 1, 0}, {0, 0, 0}, {1, 2, 3, 4}, shader);
        Light const fifth = CreateLight(1, {7, 7, 7}, {7, 7, 7}, {7, 7, 7, 7}, shader);
        EXPECT_EQ(slot(shader, 0),
                  (std::vector<float>{1, 1, 100, 200, -200, 0, 0, 0, 225 / 255.0f, 225 / 255.0f, 200 / 255.0f, 1}));
        EXPECT_EQ(slot(shader, 1),
                  (std::vector<float>{1, 1, -200, 800, 100, 0, 0, 0, 80 / 255.0f, 80 / 255.0f, 120 / 255.0f, 1}));
        EXPECT_EQ(slot(shader, 2), (std::vector<float>{1, 0, 1, 2, 3, 4, 5, 6, 1, 0, 0, 128 / 255.0f}));
        EXPECT_TRUE(third.enabled && fourth.enabled);
        EXPECT_EQ(fourth.positionLoc, raylib::GetShaderLocation(shader, "lights[3].position"));
        EXPECT_FALSE(fifth.enabled);
        EXPECT_EQ(fifth.enabledLoc | fifth.typeLoc | fifth.positionLoc | fifth.targetLoc | fifth.colorLoc, 0);

        raylib::Camera3D camera{};
        camera.target = {7, 8, 9};
        world.updateLightShader(camera);
        float view[3] = {};
        if (shader.locs[raylib::SHADER_LOC_VECTOR_VIEW] >= 0) {
            glGetUniformfv(shader.id, shader.locs[raylib::SHADER_LOC_VECTOR_VIEW], view);
            EXPECT_EQ(std::vector<float>(view, view + 3), (std::vector<float>{7, 8, 9}));
        }
    }
    // The world's destructor dropped the module's hold; ours keeps the old
    // one. Loaded again, the shader has every light registered so far, and a
    // second world registers the scene's lights no more.
    auto const reloaded = Shader::getLightShader();
    EXPECT_NE(reloaded->shader.id, first->shader.id);
    World again(std::make_shared<Player>());
    EXPECT_EQ(slot(reloaded->shader, 1),
              (std::vector<float>{1, 1, -200, 800, 100, 0, 0, 0, 80 / 255.0f, 80 / 255.0f, 120 / 255.0f, 1}));
    EXPECT_EQ(slot(reloaded->shader, 2), (std::vector<float>{1, 0, 1, 2, 3, 4, 5, 6, 1, 0, 0, 128 / 255.0f}));
    Shader::clearLightShader();
}

}  // namespace
