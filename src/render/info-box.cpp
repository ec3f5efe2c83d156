#include "info-box.h"

#include "frame-rate.h"

#include <algorithm>
#include <cmath>

#include "sky.h"
#include "ui-scale.h"

namespace {

constexpr raylib::Color BOX_BORDER{0, 121, 241, 255};
constexpr raylib::Color TEXT_COLOR{0, 0, 0, 255};

raylib::Vector3 normalizedOrZero(raylib::Vector3 v) {
    float const length = sqrtf(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0.0f) return v;
    float const inverse = 1.0f / length;
    return {v.x * inverse, v.y * inverse, v.z * inverse};
}

}  // namespace

InfoBoxLayout infoBoxLayout(float uiScale, int screenWidth, int screenHeight) {
    float const s = std::min(uiScale, fitScale(screenWidth, screenHeight));
    auto const px = [s](float units) { return static_cast<int>(units * s); };
    return {px(600), px(5), px(195), px(115), px(610), px(10), {px(15), px(60), px(75), px(90), px(105)}};
}

std::array<std::string, 5> infoBoxLines(raylib::Camera3D const& camera, int entityCount) {
    raylib::Vector3 const p = camera.position;
    raylib::Vector3 const t = camera.target;
    raylib::Vector3 const look = normalizedOrZero({t.x - p.x, t.y - p.y, t.z - p.z});
    // Copied out of TextFormat's few rotating buffers before they are reused.
    return {
        "Camera status:",
        raylib::TextFormat("- Position: (%06.3f, %06.3f, %06.3f)", p.x, p.y, p.z),
        raylib::TextFormat("- Target: (%06.3f, %06.3f, %06.3f)", t.x, t.y, t.z),
        raylib::TextFormat("- Look vector: (%06.3f, %06.3f, %06.3f)", look.x, look.y, look.z),
        raylib::TextFormat("- Voxels count: %d", entityCount),
    };
}

void drawInfoBox(raylib::Camera3D const& camera, float uiScale, int entityCount, int framesPerSecond) {
    int const screenWidth = raylib::GetScreenWidth();
    InfoBoxLayout const layout = infoBoxLayout(uiScale, screenWidth, raylib::GetScreenHeight());

    drawFrameRate(framesPerSecond);
    raylib::DrawRectangle(layout.x, layout.y, layout.width, layout.height, raylib::Fade(SKY_COLOR, 0.5f));
    raylib::DrawRectangleLines(layout.x, layout.y, layout.width, layout.height, BOX_BORDER);

    auto const lines = infoBoxLines(camera, entityCount);
    // The text can be a few pixels wider than the box; on a window just wide
    // enough for the box, move it left rather than off the window.
    int widest = 0;
    for (auto const& line : lines) widest = std::max(widest, raylib::MeasureText(line.c_str(), layout.fontSize));
    int const x = std::max(0, std::min(layout.textX, screenWidth - widest));
    for (size_t i = 0; i < lines.size(); ++i) {
        raylib::DrawText(lines[i].c_str(), x, layout.lineY[i], layout.fontSize, TEXT_COLOR);
    }
}
