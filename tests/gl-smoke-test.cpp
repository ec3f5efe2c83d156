#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "gl-test.h"

namespace {

char const* const VERTEX_330 = R"(#version 330
in vec3 vertexPosition;
uniform mat4 mvp;
void main() { gl_Position = mvp * vec4(vertexPosition, 1.0); }
)";

char const* const FRAGMENT_330 = R"(#version 330
out vec4 finalColor;
void main() { finalColor = vec4(1.0, 0.5, 0.25, 1.0); }
)";

TEST(GlSmoke, ContextIsOpenGl33OrNewer) {
    char const* version = reinterpret_cast<char const*>(glGetString(GL_VERSION));
    ASSERT_NE(version, nullptr);
    int major = 0, minor = 0;
    ASSERT_EQ(std::sscanf(version, "%d.%d", &major, &minor), 2) << version;
    EXPECT_GE(major * 10 + minor, 33) << version;
}

TEST(GlSmoke, Glsl330PairCompilesAndLinks) {
    raylib::Shader shader = raylib::LoadShaderFromMemory(VERTEX_330, FRAGMENT_330);
    // raylib falls back to its default shader when compiling or linking fails.
    EXPECT_NE(shader.id, raylib::rlGetShaderIdDefault());
    EXPECT_GE(raylib::GetShaderLocation(shader, "mvp"), 0);
    raylib::UnloadShader(shader);
}

TEST(GlSmoke, FrameShowsClearColour) {
    raylib::Color const clear{12, 34, 56, 255};
    raylib::Image frame = captureFrame([&] { raylib::ClearBackground(clear); });
    ASSERT_GT(frame.width, 0);
    raylib::Color const pixel = raylib::GetImageColor(frame, frame.width / 2, frame.height / 2);
    raylib::UnloadImage(frame);
    EXPECT_EQ(pixel.r, clear.r);
    EXPECT_EQ(pixel.g, clear.g);
    EXPECT_EQ(pixel.b, clear.b);
}

}  // namespace
