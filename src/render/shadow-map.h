#pragma once

#include <functional>

#include "raylib-api.h"

// The sun's shadow map: the depth of what lies around a point, seen from
// the sun, in a square depth texture that programs sample with comparison
// (0, in shadow, or 1, in the sun).
class ShadowMap {
public:
    explicit ShadowMap(int size = SIZE);
    ~ShadowMap();
    ShadowMap(ShadowMap const&) = delete;
    ShadowMap& operator=(ShadowMap const&) = delete;

    // How far from the point, along either side of the square, the map
    // reaches, in units, and its texels along a side.
    static constexpr float REACH = 48.0f;
    static constexpr int SIZE = 1024;

    // The orthographic view from the sun onto the square around center,
    // far enough out for what stands tall between.
    static raylib::Camera3D sunCamera(raylib::Vector3 center, raylib::Vector3 towardSun);
    unsigned int depthTexture() const { return depth; }
    // Runs draw with the map as the target, depth only, pushed back a
    // little, everywhere but on the map's edge; cleared first unless it
    // adds to what an earlier draw left.
    enum Start { CLEARED, ADDED };
    void drawInto(std::function<void()> const& draw, Start start = CLEARED) const;

    int const size;

private:
    // The framebuffer as raylib's BeginTextureMode takes it.
    raylib::RenderTexture2D target() const;

    unsigned int framebuffer = 0, depth = 0;
};
