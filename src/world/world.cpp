#include "world.h"

#include "cursor.h"
#include "info-box.h"
#include "intersector-naive-impl.h"
#include "intersector-tree-impl.h"
#include "light.h"
#include "shader.h"

namespace {

constexpr float UI_SCALE = 4.0f;

std::shared_ptr<Intersector> makeIndex(WorldOptions const& options) {
    if (options.fastIndex) return std::make_shared<IntersectorTreeImpl>();
    return std::make_shared<IntersectorNaiveImpl>();
}

}  // namespace

World::World(std::shared_ptr<Player> player, WorldOptions options)
    : uiScale(UI_SCALE), player(std::move(player)), intersector(makeIndex(options)), options(options) {
    if (!options.graphics) return;
    cursorTexture = loadCursorTexture(uiScale);
    createSunlight();
}

World::~World() {
    if (!options.graphics) return;
    // All three need the graphics context, which the game closes after the world.
    sceneRenderer.reset();
    Shader::clearLightShader();
    raylib::UnloadTexture(cursorTexture);
}

void World::createSunlight() {
    createSceneLights();
}

void World::updateLightShader(raylib::Camera3D& camera) {
    setViewPosition(camera.target);
}

void World::render(raylib::Camera3D& camera, bool showInfo) {
    if (!options.graphics) return;
    raylib::BeginDrawing();
    drawFrame(camera, showInfo);
    raylib::EndDrawing();
}

void World::drawFrame(raylib::Camera3D& camera, bool showInfo) {
    if (!options.graphics) return;
    if (!sceneRenderer) sceneRenderer = std::make_unique<SceneRenderer>();
    sceneRenderer->bakedBoxes = options.bakedBoxes;
    sceneRenderer->drawScene(camera, *intersector, player->weapon.get(), player->position);
    drawCursor(cursorTexture);
    if (showInfo) drawInfoBoxes(camera);
}

void World::drawInfoBoxes(raylib::Camera3D& camera) const {
    drawInfoBox(camera, uiScale, intersector->size());
}

std::shared_ptr<AABox> World::generateValidCube(AABB const& exclusionBox, raylib::Vector3 regionMin,
                                                raylib::Vector3 regionMax, raylib::Vector3 maxSize,
                                                ColorScheme colors) const {
    return placeCube(*intersector, exclusionBox, regionMin, regionMax, maxSize, colors);
}

std::vector<std::shared_ptr<Entity>> const World::generateValidVoxels(AABB keepClear, raylib::Vector3 center,
                                                                      raylib::Vector3 extent, raylib::Vector3 voxelSize,
                                                                      float density, ColorScheme colors) const {
    return placeVoxelCloud(keepClear, center, extent, voxelSize, density, colors,
                           options.fastCellDraw ? CellDraw::FAST : CellDraw::RAYLIB);
}
