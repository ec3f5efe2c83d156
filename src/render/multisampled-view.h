#pragma once

#include "raylib-api.h"

// A framebuffer of 4x multisampled colour and depth that a view is drawn
// into for smooth edges, then resolved into a framebuffer of its size.
class MultisampledView {
public:
    MultisampledView(int width, int height);
    ~MultisampledView();
    MultisampledView(MultisampledView const&) = delete;
    MultisampledView& operator=(MultisampledView const&) = delete;

    // The framebuffer as raylib's BeginTextureMode takes it; it has no
    // texture to sample.
    raylib::RenderTexture2D target() const;
    // Averages each pixel's samples into the framebuffer given (0: the
    // window's), which has this one's size and no samples of its own.
    void resolveInto(unsigned int framebuffer) const;

    int const width, height;

private:
    unsigned int framebuffer = 0, color = 0, depth = 0;
};
