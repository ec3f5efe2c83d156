#include "notice.h"

#include <algorithm>

#include "raylib-api.h"
#include "ui-scale.h"

void drawNotice(std::string const& text) {
    int const width = raylib::GetScreenWidth();
    int const height = raylib::GetScreenHeight();
    float const scale = std::max(1.0f, fitScale(width, height));
    int const fontSize = static_cast<int>(12 * scale);
    int const margin = static_cast<int>(6 * scale);
    int const bandHeight = fontSize + 2 * margin;
    raylib::DrawRectangle(0, height - bandHeight, width, bandHeight, {255, 236, 200, 255});
    raylib::DrawText(text.c_str(), margin, height - bandHeight + margin, fontSize, {120, 20, 20, 255});
}
