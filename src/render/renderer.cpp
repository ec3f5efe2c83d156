#include "renderer.h"

#include "cursor.h"
#include "info-box.h"

namespace raylib {
#include <rlgl.h>
}

Renderer::Renderer() : cursorTexture(loadCursorTexture(UI_SCALE)) {
    createSunlight();
}

Renderer::~Renderer() {
    raylib::UnloadTexture(cursorTexture);
}

void Renderer::render(World const& world, raylib::Camera3D& camera, bool showInfo) {
    raylib::BeginDrawing();
    drawFrame(world, camera, showInfo);
    raylib::EndDrawing();
}

void Renderer::drawFrame(World const& world, raylib::Camera3D const& camera, bool showInfo) {
    Player const& player = *world.player;
    scene.drawScene(camera, *world.intersector, player.weapon.get(), player.position,
                    lighting.getLightShader()->shader);
    drawCursor(cursorTexture);
    if (showInfo) drawInfoBoxes(world, camera);
}

void Renderer::drawInfoBoxes(World const& world, raylib::Camera3D const& camera) const {
    drawInfoBox(camera, world.uiScale, world.intersector->size());
}

std::string Renderer::missingAssets() {
    std::string missing;
    // raylib gives its default shader, and an empty texture, for files it cannot load.
    if (lighting.getLightShader()->shader.id == raylib::rlGetShaderIdDefault()) missing = "the light shader";
    if (cursorTexture.id == 0) missing += std::string(missing.empty() ? "" : " and ") + "the cursor image";
    return missing;
}

void Renderer::createSunlight() {
    lighting.CreateLight(1, {100, 200, -200}, {0, 0, 0}, {225, 225, 200, 255}, lighting.getLightShader()->shader);
    lighting.CreateLight(1, {-200, 800, 100}, {0, 0, 0}, {80, 80, 120, 255}, lighting.getLightShader()->shader);
}

void Renderer::updateLightShader(raylib::Camera3D& camera) {
    lighting.setViewPosition(camera.target);
}
