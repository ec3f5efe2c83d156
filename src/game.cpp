#include "game.h"

#include "raylib-api.h"

namespace {

constexpr int BASE_WIDTH = 800;
constexpr int BASE_HEIGHT = 450;
constexpr char const* WINDOW_TITLE = "Tessarine";

}  // namespace

void renderInitScreen() {
    raylib::BeginDrawing();
    raylib::ClearBackground({245, 245, 245, 255});
    raylib::DrawText(raylib::TextFormat("Loading scene..."), 200, 80, 40, {0, 228, 48, 255});
    raylib::EndDrawing();
}

void runGame() {
    raylib::InitWindow(BASE_WIDTH, BASE_HEIGHT, WINDOW_TITLE);
    raylib::SetTargetFPS(60);
    while (!raylib::WindowShouldClose()) {
        renderInitScreen();
    }
    raylib::CloseWindow();
}
