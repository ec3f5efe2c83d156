#pragma once

// What the benchmarks that draw measure alike: time, resident memory, one
// frame drawn to the end, and a window resized before its frames.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <string>

#include "renderer.h"

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A "Name:   N kB" line of /proc/self/status, in bytes.
inline double statusBytes(std::string const& name) {
    std::ifstream status("/proc/self/status");
    std::string key;
    double kilobytes = 0;
    while (status >> key) {
        if (key == name + ":" && status >> kilobytes) return kilobytes * 1024;
        status.ignore(1024, '\n');
    }
    return 0;
}

// The peak of resident memory starts again from what is resident now.
inline void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The seconds a frame takes, until the GPU has drawn it.
inline double drawFrame(Renderer& renderer, World const& world, raylib::Camera3D const& camera) {
    auto const start = Clock::now();
    raylib::BeginDrawing();
    renderer.drawFrame(world, camera, false);
    raylib::EndDrawing();
    glFinish();
    return secondsSince(start);
}

// Sizes the window, with frames that let a hidden window take its new size.
inline void resize(benchmark::State& state, int width, int height) {
    raylib::SetWindowSize(width, height);
    for (auto _ : state) {
        raylib::BeginDrawing();
        raylib::EndDrawing();
        raylib::WaitTime(0.01);
    }
    state.counters["screen_width"] = raylib::GetScreenWidth();
    state.counters["render_width"] = raylib::GetRenderWidth();
}
