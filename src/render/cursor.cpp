#include "cursor.h"

#include <cmath>

#include "asset-path.h"

namespace {

char const* const CURSOR_PATH = "assets/images/cursor.png";
constexpr float CURSOR_LIFT = 40.0f;

}  // namespace

raylib::Texture2D loadCursorTexture(float uiScale, std::string const& assetRoot) {
    raylib::Image image = raylib::LoadImage(assetPath(assetRoot, CURSOR_PATH).c_str());
    int const side = static_cast<int>(static_cast<float>(pow(static_cast<double>(uiScale), 1.37) * 11.0));
    raylib::ImageResize(&image, side, side);
    raylib::Texture2D const texture = raylib::LoadTextureFromImage(image);
    raylib::UnloadImage(image);
    return texture;
}

void drawCursor(raylib::Texture2D cursor) {
    float const screenWidth = static_cast<float>(raylib::GetScreenWidth());
    float const screenHeight = static_cast<float>(raylib::GetScreenHeight());
    int const x = static_cast<int>(screenWidth * 0.5f - static_cast<float>(cursor.width) * 0.5f);
    int const y = static_cast<int>(screenHeight * 0.5f - static_cast<float>(cursor.height) * 0.5f - CURSOR_LIFT);
    raylib::DrawTexture(cursor, x, y, {255, 255, 255, 255});
}
