#include "shadow-map.h"

#include <cmath>

#include "gl-api.h"

namespace {

// How far the sun's eye stands from the square's middle: what stands
// higher between them and the sun casts no shadow.
constexpr float SUN_DISTANCE = 300.0f;

}  // namespace

ShadowMap::ShadowMap(int size) : size(size) {
    glGenTextures(1, &depth);
    glBindTexture(GL_TEXTURE_2D, depth);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, size, size, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, nullptr);
    // Sampled with comparison, linear filtering blends four texels' answers.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depth, 0);
    // No colour: nothing to draw into but the depth.
    GLenum const none = GL_NONE;
    glDrawBuffers(1, &none);
    glReadBuffer(GL_NONE);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

ShadowMap::~ShadowMap() {
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &depth);
}

raylib::Camera3D ShadowMap::sunCamera(raylib::Vector3 center, raylib::Vector3 towardSun) {
    raylib::Vector3 const toward = raylib::Vector3Normalize(towardSun);
    // Straight overhead, "up" on the map is along -z.
    raylib::Vector3 const up = std::abs(toward.y) > 0.99f ? raylib::Vector3{0, 0, -1} : raylib::Vector3{0, 1, 0};
    return {raylib::Vector3Add(center, raylib::Vector3Scale(toward, SUN_DISTANCE)), center, up, 2 * REACH,
            raylib::CAMERA_ORTHOGRAPHIC};
}

raylib::RenderTexture2D ShadowMap::target() const {
    raylib::RenderTexture2D target{};
    target.id = framebuffer;
    target.texture.width = size;
    target.texture.height = size;
    return target;
}
