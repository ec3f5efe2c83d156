// The light shader and its lights, read back from the GPU program.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "gl-test.h"
#include "renderer.h"

namespace {

using Values = std::vector<float>;

// The values of a light slot's uniforms: enabled and type, then position,
// target and colour (three, three and four floats).
Values slot(raylib::Shader shader, int i) {
    int integers[2] = {-1, -1};
    glGetUniformiv(shader.id, raylib::GetShaderLocation(shader, raylib::TextFormat("lights[%i].enabled", i)),
                   &integers[0]);
    glGetUniformiv(shader.id, raylib::GetShaderLocation(shader, raylib::TextFormat("lights[%i].type", i)),
                   &integers[1]);
    Values values{static_cast<float>(integers[0]), static_cast<float>(integers[1])};
    for (auto [name, count] : {std::pair{"position", 3}, {"target", 3}, {"color", 4}}) {
        float read[4] = {};
        glGetUniformfv(shader.id, raylib::GetShaderLocation(shader, raylib::TextFormat("lights[%i].%s", i, name)),
                       read);
        values.insert(values.end(), read, read + count);
    }
    return values;
}

Values const SUN{1, 1, 100, 200, -200, 0, 0, 0, 225 / 255.0f, 225 / 255.0f, 200 / 255.0f, 1};
Values const SKY_LIGHT{1, 1, -200, 800, 100, 0, 0, 0, 80 / 255.0f, 80 / 255.0f, 120 / 255.0f, 1};
Values const THIRD{1, 0, 1, 2, 3, 4, 5, 6, 1, 0, 0, 128 / 255.0f};
Values const UNUSED{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

TEST(Lighting, ShaderLightsAndReloading) {
    // A renderer registers the scene's two lights in slots 0 and 1.
    Renderer renderer;
    Lighting& lighting = renderer.lighting;
    auto const first = lighting.getLightShader();
    EXPECT_EQ(lighting.getLightShader(), first);
    raylib::Shader const shader = first->shader;
    ASSERT_NE(shader.id, raylib::rlGetShaderIdDefault()) << "the GLSL 330 pair must compile and link";
    float ambient[4] = {};
    glGetUniformfv(shader.id, raylib::GetShaderLocation(shader, "ambient"), ambient);
    EXPECT_EQ(Values(ambient, ambient + 4), (Values{0.1f, 0.1f, 0.1f, 1.0f}));
    EXPECT_EQ(shader.locs[raylib::SHADER_LOC_VECTOR_VIEW], raylib::GetShaderLocation(shader, "viewPos"));

    // The light on faces of a normal, for the scene's two directional
    // lights: the sun's and the sky's share of each (half-Lambert, 0.8) and
    // the ambient 0.1.
    auto const up = lighting.lightOfFaces({0, 1, 0});
    ASSERT_TRUE(up.has_value());
    float const sun = 0.8f * (200 / std::sqrt(100.0f * 100 + 200 * 200 + 200 * 200) * 0.5f + 0.5f);
    float const sky = 0.8f * (800 / std::sqrt(200.0f * 200 + 800 * 800 + 100 * 100) * 0.5f + 0.5f);
    EXPECT_NEAR(up->x, 0.1f + sun * 225 / 255 + sky * 80 / 255, 1e-5f);
    EXPECT_NEAR(up->z, 0.1f + sun * 200 / 255 + sky * 120 / 255, 1e-5f);

    // Two more take slots 2 and 3, and a fifth is refused, uploading nothing.
    Light const third = lighting.CreateLight(0, {1, 2, 3}, {4, 5, 6}, {255, 0, 0, 128}, shader);
    Light const fourth = lighting.CreateLight(1, {0, 1, 0}, {0, 0, 0}, {1, 2, 3, 4}, shader);
    Light const fifth = lighting.CreateLight(1, {7, 7, 7}, {7, 7, 7}, {7, 7, 7, 7}, shader);
    EXPECT_EQ(slot(shader, 0), SUN);
    EXPECT_EQ(slot(shader, 1), SKY_LIGHT);
    EXPECT_EQ(slot(shader, 2), THIRD);
    EXPECT_TRUE(third.enabled && fourth.enabled);
    EXPECT_EQ(fourth.positionLoc, raylib::GetShaderLocation(shader, "lights[3].position"));
    EXPECT_FALSE(fifth.enabled);
    EXPECT_EQ(fifth.enabledLoc | fifth.typeLoc | fifth.positionLoc | fifth.targetLoc | fifth.colorLoc, 0);
    EXPECT_EQ(lighting.lightsCount(), 4);
    EXPECT_FALSE(lighting.lightOfFaces({0, 1, 0})) << "a point light lights each corner differently";

    raylib::Camera3D camera{};
    camera.target = {7, 8, 9};
    renderer.updateLightShader(camera);
    // The lighting does not use "viewPos", so a driver may leave it out.
    if (shader.locs[raylib::SHADER_LOC_VECTOR_VIEW] >= 0) {
        float view[3] = {};
        glGetUniformfv(shader.id, shader.locs[raylib::SHADER_LOC_VECTOR_VIEW], view);
        EXPECT_EQ(Values(view, view + 3), (Values{7, 8, 9}));
    }

    // Cleared, the shader is loaded again with every light registered so
    // far; the old one lives while held.
    lighting.clearLightShader();
    auto const reloaded = lighting.getLightShader();
    EXPECT_NE(reloaded->shader.id, first->shader.id);
    EXPECT_EQ(slot(reloaded->shader, 1), SKY_LIGHT);
    EXPECT_EQ(slot(reloaded->shader, 2), THIRD);

    // Another renderer has lights of its own: the scene's two.
    Renderer other;
    raylib::Shader const otherShader = other.lighting.getLightShader()->shader;
    EXPECT_NE(otherShader.id, reloaded->shader.id);
    EXPECT_EQ(slot(otherShader, 0), SUN);
    EXPECT_EQ(slot(otherShader, 2), UNUSED);
    EXPECT_EQ(other.lighting.lightsCount(), 2);
}

}  // namespace
