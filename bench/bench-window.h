#pragma once

// A hidden 800 x 450 window with 4x multisampling, as the game asks for (or
// without, when asked), for benchmarks that draw, with no frame cap.
#include <cstdio>
#include <cstdlib>

#include "raylib-api.h"

class BenchWindow {
public:
    explicit BenchWindow(bool multisampled = true) {
        if (std::getenv("DISPLAY") == nullptr) {
            std::fprintf(stderr, "No X display: run this benchmark under xvfb-run (see bench/README.md).\n");
            std::exit(1);
        }
        raylib::SetTraceLogLevel(raylib::LOG_WARNING);
        raylib::SetConfigFlags(raylib::FLAG_WINDOW_HIDDEN | (multisampled ? raylib::FLAG_MSAA_4X_HINT : 0));
        raylib::InitWindow(800, 450, "tessarine benchmark");
    }
    ~BenchWindow() { raylib::CloseWindow(); }
    BenchWindow(BenchWindow const&) = delete;
    BenchWindow& operator=(BenchWindow const&) = delete;
};
