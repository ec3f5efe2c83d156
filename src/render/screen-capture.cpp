#include "screen-capture.h"

#include <cstdlib>
#include <cstring>

#include "gl-api.h"

namespace raylib {
#include <rlgl.h>
}

raylib::Image captureScreen() {
    raylib::rlDrawRenderBatchActive();
    GLint sampleBuffers = 0;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    if (sampleBuffers == 0) return raylib::LoadImageFromScreen();

    // The samples are resolved into a framebuffer of the window's size, and
    // read from there.
    int const width = raylib::GetRenderWidth(), height = raylib::GetRenderHeight();
    GLuint color = 0, framebuffer = 0;
    glGenRenderbuffers(1, &color);
    glBindRenderbuffer(GL_RENDERBUFFER, color);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    size_t const row = static_cast<size_t>(width) * 4;
    auto* pixels = static_cast<unsigned char*>(std::malloc(row * height));
    auto* upward = static_cast<unsigned char*>(std::malloc(row * height));
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, upward);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(1, &color);
    // OpenGL's rows run upward; an image's run down. The window is opaque.
    for (int y = 0; y < height; ++y) std::memcpy(pixels + row * y, upward + row * (height - 1 - y), row);
    std::free(upward);
    for (size_t i = 3; i < row * height; i += 4) pixels[i] = 255;
    return {pixels, width, height, 1, raylib::PIXELFORMAT_UNCOMPRESSED_R8G8B8A8};
}
