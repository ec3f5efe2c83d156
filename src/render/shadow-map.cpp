#include "shadow-map.h"

#include <cmath>

#include "gl-api.h"

namespace raylib {
#include <rlgl.h>
}

namespace {

// How far the sun's eye stands from the square's middle: what stands
// higher between them and the sun casts no shadow.
constexpr float SUN_DISTANCE = 300.0f;

}  // namespace

ShadowMap::ShadowMap(int size) : size(size) {
    glGenTextures(1, &depth);
    glBindTexture(GL_TEXTURE_2D, depth);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, size, size, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, nullptr);
    // Sampled with comparison, one texel a pixel: filtering four costs a
    // software renderer a third of the frame. Beyond the map, its edge,
    // where nothing is drawn (see drawInto): in the sun.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
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

void ShadowMap::drawInto(std::function<void()> const& draw, Start start) const {
    raylib::BeginTextureMode(target());
    if (start == CLEARED) raylib::rlClearScreenBuffers();
    raylib::rlColorMask(false, false, false, false);
    // Pushed back a little, so that a lit face does not shadow itself.
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(2.0f, 4.0f);
    // A border of one texel left at the farthest depth: a browser's OpenGL
    // has no border colour.
    glEnable(GL_SCISSOR_TEST);
    glScissor(1, 1, size - 2, size - 2);
    draw();
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_POLYGON_OFFSET_FILL);
    raylib::rlColorMask(true, true, true, true);
    raylib::EndTextureMode();
}

raylib::RenderTexture2D ShadowMap::target() const {
    raylib::RenderTexture2D target{};
    target.id = framebuffer;
    target.texture.width = size;
    target.texture.height = size;
    return target;
}
