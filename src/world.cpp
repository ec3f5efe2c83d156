#include "world.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "intersector-grid-impl.h"
#include "intersector-naive-impl.h"
#include "shader.h"
#include "ui-scale.h"

namespace {

char const* const CURSOR_PATH = "assets/images/cursor.png";
constexpr float UI_SCALE = 4.0f;
constexpr float CURSOR_LIFT = 40.0f;
constexpr raylib::Color SKY{102, 191, 255, 255};
constexpr raylib::Color BOX_BORDER{0, 121, 241, 255};
constexpr raylib::Color TEXT_COLOR{0, 0, 0, 255};
constexpr raylib::Color UNTINTED{255, 255, 255, 255};

raylib::Vector3 normalizedOrZero(raylib::Vector3 v) {
    float const length = sqrtf(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0.0f) return v;
    float const inverse = 1.0f / length;
    return {v.x * inverse, v.y * inverse, v.z * inverse};
}

std::shared_ptr<Intersector> makeIndex(WorldOptions const& options) {
    if (options.gridIndex) return std::make_shared<IntersectorGridImpl>();
    return std::make_shared<IntersectorNaiveImpl>();
}

}  // namespace

World::World(std::shared_ptr<Player> player, WorldOptions options)
    : uiScale(UI_SCALE), player(std::move(player)), intersector(makeIndex(options)), options(options) {
    raylib::Image image = raylib::LoadImage(CURSOR_PATH);
    int const side = static_cast<int>(static_cast<float>(pow(static_cast<double>(uiScale), 1.37) * 11.0));
    raylib::ImageResize(&image, side, side);
    cursorTexture = raylib::LoadTextureFromImage(image);
    raylib::UnloadImage(image);
    createSunlight();
}

World::~World() {
    // All three need the graphics context, which the game closes after the world.
    sceneRenderer.reset();
    Shader::clearLightShader();
    raylib::UnloadTexture(cursorTexture);
}

void World::createSunlight() {
    CreateLight(1, {100, 200, -200}, {0, 0, 0}, {225, 225, 200, 255}, Shader::getLightShader()->shader);
    CreateLight(1, {-200, 800, 100}, {0, 0, 0}, {80, 80, 120, 255}, Shader::getLightShader()->shader);
}

void World::updateLightShader(raylib::Camera3D& camera) {
    auto const light = Shader::getLightShader();
    raylib::Vector3 const view = camera.target;
    raylib::SetShaderValue(light->shader, light->shader.locs[raylib::SHADER_LOC_VECTOR_VIEW], &view,
                           raylib::SHADER_UNIFORM_VEC3);
}

void World::render(raylib::Camera3D& camera, bool showInfo) {
    raylib::BeginDrawing();
    drawFrame(camera, showInfo);
    raylib::EndDrawing();
}

void World::drawFrame(raylib::Camera3D& camera, bool showInfo) {
    raylib::ClearBackground(SKY);
    raylib::BeginMode3D(camera);
    auto const light = Shader::getLightShader();
    raylib::BeginShaderMode(light->shader);
    if (player->weapon) player->weapon->draw(player->position, camera.target);
    if (options.bakedBoxes) {
        if (!sceneRenderer) sceneRenderer = std::make_unique<SceneRenderer>();
        sceneRenderer->draw(*intersector);
    } else {
        drawScene(intersector->getEntities());
    }
    raylib::EndShaderMode();
    raylib::EndMode3D();
    drawCursor();
    if (showInfo) drawInfoBoxes(camera);
}

void World::drawCursor() const {
    float const screenWidth = static_cast<float>(raylib::GetScreenWidth());
    float const screenHeight = static_cast<float>(raylib::GetScreenHeight());
    int const x = static_cast<int>(screenWidth * 0.5f - static_cast<float>(cursorTexture.width) * 0.5f);
    int const y = static_cast<int>(screenHeight * 0.5f - static_cast<float>(cursorTexture.height) * 0.5f -
                                   CURSOR_LIFT);
    raylib::DrawTexture(cursorTexture, x, y, UNTINTED);
}

InfoBoxLayout infoBoxLayout(float uiScale, int screenWidth, int screenHeight) {
    float const s = std::min(uiScale, fitScale(screenWidth, screenHeight));
    auto const px = [s](float units) { return static_cast<int>(units * s); };
    return {px(600), px(5), px(195), px(115), px(610), px(10), {px(15), px(60), px(75), px(90), px(105)}};
}

void World::drawInfoBoxes(raylib::Camera3D& camera) const {
    int const screenWidth = raylib::GetScreenWidth();
    InfoBoxLayout const layout = infoBoxLayout(uiScale, screenWidth, raylib::GetScreenHeight());

    raylib::DrawFPS(0, 0);
    raylib::DrawRectangle(layout.x, layout.y, layout.width, layout.height, raylib::Fade(SKY, 0.5f));
    raylib::DrawRectangleLines(layout.x, layout.y, layout.width, layout.height, BOX_BORDER);

    raylib::Vector3 const p = camera.position;
    raylib::Vector3 const t = camera.target;
    raylib::Vector3 const look = normalizedOrZero({t.x - p.x, t.y - p.y, t.z - p.z});
    // Copied out of TextFormat's few rotating buffers before they are reused.
    std::string const lines[5] = {
        "Camera status:",
        raylib::TextFormat("- Position: (%06.3f, %06.3f, %06.3f)", p.x, p.y, p.z),
        raylib::TextFormat("- Target: (%06.3f, %06.3f, %06.3f)", t.x, t.y, t.z),
        raylib::TextFormat("- Look vector: (%06.3f, %06.3f, %06.3f)", look.x, look.y, look.z),
        raylib::TextFormat("- Voxels count: %d", intersector->size()),
    };
    // The text can be a few pixels wider than the box; on a window just wide
    // enough for the box, move it left rather than off the window.
    int widest = 0;
    for (auto const& line : lines) widest = std::max(widest, raylib::MeasureText(line.c_str(), layout.fontSize));
    int const x = std::max(0, std::min(layout.textX, screenWidth - widest));
    for (int i = 0; i < 5; ++i) {
        raylib::DrawText(lines[i].c_str(), x, layout.lineY[i], layout.fontSize, TEXT_COLOR);
    }
}

void drawScene(std::vector<std::shared_ptr<Entity>> entities) {
    for (auto const& entity : entities) entity->draw();
}
