#include "renderer.h"

#include <algorithm>
#include <cmath>

#include "box-faces.h"
#include "cursor.h"
#include "info-box.h"

#include "gl-api.h"

namespace raylib {
#include <rlgl.h>
}

Renderer::Renderer(std::string const& assetRoot)
    : lighting(assetRoot), cursorTexture(loadCursorTexture(UI_SCALE, assetRoot)), assetRoot(assetRoot) {
    createSunlight();
    GLint sampleBuffers = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    windowMultisampled = sampleBuffers > 0;
}

Renderer::~Renderer() {
    if (view.id != 0) raylib::UnloadRenderTexture(view);
    raylib::UnloadTexture(cursorTexture);
}

void Renderer::setRenderScale(float fraction) {
    scale = fraction;
}

void Renderer::finish() {
    raylib::rlDrawRenderBatchActive();
    glFinish();
}

void Renderer::render(World const& world, raylib::Camera3D& camera, bool showInfo) {
    raylib::BeginDrawing();
    drawFrame(world, camera, showInfo);
    raylib::EndDrawing();
}

void Renderer::drawFrame(World const& world, raylib::Camera3D const& camera, bool showInfo) {
    Player const& player = *world.player;
    frameRate.add(raylib::GetFrameTime());
    int const width = raylib::GetRenderWidth(), height = raylib::GetRenderHeight();
    int const viewWidth = std::max(1, static_cast<int>(width * scale)),
              viewHeight = std::max(1, static_cast<int>(height * scale));
    bool const full = viewWidth >= width && viewHeight >= height;
    frameAtmosphere = withSceneAtmosphere(atmosphere, world.atmosphere);
    if (shadowsShown()) drawShadows(world, camera);
    auto const drawScene = [&] {
        scene.drawScene(camera, world, player.weapon.get(), player.position, scenePrograms(camera, world.atmosphere));
    };
    if (full && (windowMultisampled || !multisampling)) {
        drawScene();
    } else if (multisampling) {
        // Drawn into samples of its own, the view keeps smooth edges on a
        // window without them.
        if (!samples || samples->width != viewWidth || samples->height != viewHeight) {
            samples.emplace(viewWidth, viewHeight);
        }
        raylib::BeginTextureMode(samples->target());
        drawScene();
        raylib::EndTextureMode();
        if (full) {
            samples->resolveInto(0);
        } else {
            sizeView(viewWidth, viewHeight);
            samples->resolveInto(view.id);
            stretchViewToWindow();
        }
    } else {
        sizeView(viewWidth, viewHeight);
        raylib::BeginTextureMode(view);
        drawScene();
        raylib::EndTextureMode();
        stretchViewToWindow();
    }
    drawCursor(cursorTexture);
    if (showInfo) drawInfoBoxes(world, camera);
    if (showFrameRate && !showInfo) drawFrameRate(frameRate.framesPerSecond());
}

void Renderer::sizeView(int width, int height) {
    if (view.texture.width == width && view.texture.height == height) return;
    if (view.id != 0) raylib::UnloadRenderTexture(view);
    view = raylib::LoadRenderTexture(width, height);
    raylib::SetTextureFilter(view.texture, raylib::TEXTURE_FILTER_BILINEAR);
}

void Renderer::stretchViewToWindow() {
    int const viewWidth = view.texture.width, viewHeight = view.texture.height;
    if (!windowMultisampled) {
        // A blit copies without a shader, blending or depth test: on a
        // software renderer it costs a fraction of drawing the texture.
        glBindFramebuffer(GL_READ_FRAMEBUFFER, view.id);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glBlitFramebuffer(0, 0, viewWidth, viewHeight, 0, 0, raylib::GetRenderWidth(), raylib::GetRenderHeight(),
                          GL_COLOR_BUFFER_BIT, GL_LINEAR);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return;
    }
    // A blit cannot reach a multisampled window: the texture is drawn over
    // it, opaque, so without blending. Its rows run upward.
    raylib::Rectangle const source{0, 0, static_cast<float>(viewWidth), -static_cast<float>(viewHeight)};
    raylib::Rectangle const window{0, 0, static_cast<float>(raylib::GetScreenWidth()),
                                   static_cast<float>(raylib::GetScreenHeight())};
    raylib::rlDrawRenderBatchActive();
    raylib::rlDisableColorBlend();
    raylib::DrawTexturePro(view.texture, source, window, {0, 0}, 0, {255, 255, 255, 255});
    raylib::rlDrawRenderBatchActive();
    raylib::rlEnableColorBlend();
}

void Renderer::drawInfoBoxes(World const& world, raylib::Camera3D const& camera) const {
    drawInfoBox(camera, world.uiScale, world.intersector->size(), frameRate.framesPerSecond());
}

std::string Renderer::missingAssets() {
    std::string missing;
    // raylib gives its default shader, and an empty texture, for files it cannot load.
    if (lighting.getLightShader()->shader.id == raylib::rlGetShaderIdDefault()) missing = "the light shader";
    if (cursorTexture.id == 0) missing += std::string(missing.empty() ? "" : " and ") + "the cursor image";
    return missing;
}

void Renderer::setRichLooks(bool rich) {
    this->rich = rich;
    scene.shadedCorners = rich;
}

Atmosphere withSceneAtmosphere(Atmosphere atmosphere, SceneAtmosphere const& given) {
    atmosphere.towardSun = given.towardSun.value_or(atmosphere.towardSun);
    atmosphere.horizon = given.horizon.value_or(atmosphere.horizon);
    atmosphere.zenith = given.zenith.value_or(atmosphere.zenith);
    atmosphere.fogStart = given.fogStart.value_or(atmosphere.fogStart);
    atmosphere.fogEnd = given.fogEnd.value_or(atmosphere.fogEnd);
    return atmosphere;
}

namespace {

// The sun's map is fitted to cells of half its reach: it is drawn again
// every few seconds as the player walks, and reaches at least three
// quarters of its reach around the camera.
constexpr float SHADOW_CELL = ShadowMap::REACH / 2;

raylib::Vector3 centerOfCell(int const (&cell)[3]) {
    return {(cell[0] + 0.5f) * SHADOW_CELL, (cell[1] + 0.5f) * SHADOW_CELL, (cell[2] + 0.5f) * SHADOW_CELL};
}

}  // namespace

bool Renderer::ShadowsDrawn::sameScene(ShadowsDrawn const& other) const {
    return towardSun == other.towardSun && index == other.index && entities == other.entities &&
           objects == other.objects;
}

Renderer::ShadowsDrawn Renderer::shadowsNow(World const& world, raylib::Vector3 camera) const {
    return {{static_cast<int>(std::floor(camera.x / SHADOW_CELL)), static_cast<int>(std::floor(camera.y / SHADOW_CELL)),
             static_cast<int>(std::floor(camera.z / SHADOW_CELL))},
            frameAtmosphere.towardSun,
            world.intersector.get(),
            world.intersector->size(),
            scene.chunksBaked(),
            scene.objectCount()};
}

bool Renderer::shadowsReach(raylib::Vector3 camera) const {
    // A cell beyond the centre's reaches half the map's reach around it.
    raylib::Vector3 const center = centerOfCell(shadowsDrawn->cell);
    return std::max({std::abs(camera.x - center.x), std::abs(camera.y - center.y), std::abs(camera.z - center.z)}) <=
           SHADOW_CELL;
}

raylib::Matrix Renderer::drawShadowShare(World const& world, ShadowMap const& map, ShadowsDrawn const& drawn, int share,
                                         int shares) {
    raylib::Camera3D const sun = ShadowMap::sunCamera(centerOfCell(drawn.cell), frameAtmosphere.towardSun);
    raylib::Matrix sunView;
    map.drawInto(
        [&] {
            sunView = scene.drawDepth(sun, world, {lighting.getLightShader()->shader, facePrograms()}, share, shares);
        },
        share == 0 ? ShadowMap::CLEARED : ShadowMap::ADDED);
    return sunView;
}

void Renderer::drawShadows(World const& world, raylib::Camera3D const& camera) {
    if (scene.bakedBoxes) scene.bakeDue(world, camera.position);
    ShadowsDrawn const now = shadowsNow(world, camera.position);
    if (shadowsDrawn == now) {
        shadowsDrawing.reset();
        return;
    }
    if (!shadowsDrawn || !shadowsDrawn->sameScene(now) || !shadowsReach(camera.position)) {
        // A new scene or sun, or a jump: the whole map at once.
        if (!shadowMap) shadowMap = std::make_unique<ShadowMap>();
        shadowsDrawing.reset();
        showSunView(drawShadowShare(world, *shadowMap, now, 0, 1));
        shadowsDrawn = now;
        return;
    }
    // The chunks baked meanwhile go into the map after this one.
    if (!shadowsDrawing || !std::equal(std::begin(now.cell), std::end(now.cell), shadowsDrawing->drawn.cell))
        shadowsDrawing = ShadowsDrawing{now};
    if (!nextShadowMap) nextShadowMap = std::make_unique<ShadowMap>();
    ShadowsDrawing& drawing = *shadowsDrawing;
    drawing.sunView = drawShadowShare(world, *nextShadowMap, drawing.drawn, drawing.sharesDone++, SHADOW_SHARES);
    if (drawing.sharesDone < SHADOW_SHARES) return;
    std::swap(shadowMap, nextShadowMap);
    showSunView(drawing.sunView);
    shadowsDrawn = drawing.drawn;
    shadowsDrawing.reset();
}

void Renderer::showSunView(raylib::Matrix viewProjection) {
    sunView = viewProjection;
    lighting.setSunView(viewProjection);
}

ScenePrograms Renderer::scenePrograms(raylib::Camera3D const& camera, SceneAtmosphere const& given) {
    if (!rich) {
        // The plain looks keep their lights; a scene's sky is their colour.
        return {lighting.getLightShader()->shader, facePrograms(), nullptr, given.horizon ? &frameAtmosphere : nullptr};
    }
    if (!sky) sky = std::make_unique<RichSky>(assetRoot);
    bool const shadowed = shadowsShown();
    lighting.setAtmosphere(frameAtmosphere, camera.position, shadowed);
    if (shadowed) {
        glActiveTexture(GL_TEXTURE0 + Lighting::SHADOW_UNIT);
        glBindTexture(GL_TEXTURE_2D, shadowMap->depthTexture());
        glActiveTexture(GL_TEXTURE0);
    }
    auto const program = [&](Lighting::RichProgram which) { return lighting.getRichProgram(which, shadowed)->shader; };
    FacePrograms faces{program(Lighting::RICH_FACES), program(Lighting::RICH_FLAT_FACES),
                       std::array<raylib::Vector3, 6>{}};
    for (int face = 0; face < 6; ++face) {
        raylib::Vector3 const normal = normalOf(static_cast<BoxFace>(face));
        (*faces.lights)[face] = richLightOf(frameAtmosphere, normal);
        faces.sunShares[face] = richSunShareOf(frameAtmosphere, normal);
    }
    std::optional<Frustum> sunMap;
    raylib::Shader sunlitFlat{}, sunlitClearFlat{};
    if (shadowed) {
        sunMap.emplace(sunView);
        sunlitFlat = lighting.getRichProgram(Lighting::RICH_FLAT_FACES, false)->shader;
        sunlitClearFlat = lighting.getRichProgram(Lighting::RICH_CLEAR_FLAT_FACES, false)->shader;
        for (raylib::Shader const program : {sunlitFlat, sunlitClearFlat})
            Lighting::setAtmosphere(program, frameAtmosphere, camera.position);
    }
    return {program(Lighting::RICH_MODELS),
            faces,
            sky.get(),
            &frameAtmosphere,
            program(Lighting::RICH_CLEAR_MODELS),
            program(Lighting::RICH_CLEAR_FLAT_FACES),
            frameAtmosphere.fogStart,
            program(Lighting::RICH_METAL_MODELS),
            program(Lighting::RICH_CLEAR_METAL_MODELS),
            sunMap,
            sunlitFlat,
            sunlitClearFlat};
}

FacePrograms Renderer::facePrograms() {
    FacePrograms programs{lighting.getFaceShader()->shader, lighting.getFlatFaceShader()->shader, std::nullopt};
    std::array<raylib::Vector3, 6> lights{};
    for (int face = 0; face < 6; ++face) {
        auto const light = lighting.lightOfFaces(normalOf(static_cast<BoxFace>(face)));
        if (!light) return programs;
        lights[face] = *light;
    }
    programs.lights = lights;
    return programs;
}

void Renderer::createSunlight() {
    lighting.CreateLight(LIGHT_DIRECTIONAL, {100, 200, -200}, {0, 0, 0}, {225, 225, 200, 255},
                         lighting.getLightShader()->shader);
    lighting.CreateLight(LIGHT_DIRECTIONAL, {-200, 800, 100}, {0, 0, 0}, {80, 80, 120, 255},
                         lighting.getLightShader()->shader);
}

void Renderer::updateLightShader(raylib::Camera3D& camera) {
    lighting.setViewPosition(camera.target);
}
