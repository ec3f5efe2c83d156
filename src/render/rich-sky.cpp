#include "rich-sky.h"

#include "frustum.h"
#include "lighting.h"

namespace raylib {
#include <rlgl.h>
}

namespace {

constexpr raylib::Vector3 SUN_COLOR{1.0f, 0.96f, 0.88f};

// The dome's rings and segments above the horizon, as sky.vs makes them,
// and the vertices of their two triangles each.
constexpr int DOME_VERTICES = 24 * 8 * 6;

}  // namespace

RichSky::RichSky(std::string const& assetRoot)
    : dome(loadShaderFiles(assetRoot, "assets/shaders/glsl330/sky.vs", "assets/shaders/glsl330/sky.fs")),
      sun(loadShaderFiles(assetRoot, "assets/shaders/glsl330/sky.vs", "assets/shaders/glsl330/sky.fs", "#define SUN\n",
                          "#define SUN\n")),
      vertexArray(raylib::rlLoadVertexArray()) {}

RichSky::~RichSky() {
    raylib::rlUnloadVertexArray(vertexArray);
    raylib::UnloadShader(dome);
    raylib::UnloadShader(sun);
}

void RichSky::drawDome(Atmosphere const& atmosphere) const {
    beginDrawing(dome, atmosphere);
    // Opaque, as the clear left the view: blending would only cost a read
    // of every pixel.
    raylib::rlDisableColorBlend();
    raylib::rlDisableDepthTest();
    raylib::rlDrawVertexArray(0, DOME_VERTICES);
    raylib::rlEnableDepthTest();
    raylib::rlEnableColorBlend();
    endDrawing();
}

void RichSky::drawSun(Atmosphere const& atmosphere) const {
    // At the far plane, so drawn only where nothing is nearer (the depth
    // test lets the cleared depth's equal through); over the dome, by its
    // cover.
    beginDrawing(sun, atmosphere);
    raylib::rlDrawVertexArray(0, 6);
    endDrawing();
}

void RichSky::beginDrawing(raylib::Shader program, Atmosphere const& atmosphere) const {
    raylib::rlDrawRenderBatchActive();
    raylib::rlEnableShader(program.id);
    raylib::SetShaderValueMatrix(program, raylib::GetShaderLocation(program, "viewProjection"),
                                 currentViewProjection());
    setShaderVector(program, "towardSun", raylib::Vector3Normalize(atmosphere.towardSun));
    setShaderVector(program, "horizonColor", colorFractions(atmosphere.horizon));
    setShaderVector(program, "zenithColor", colorFractions(atmosphere.zenith));
    setShaderVector(program, "sunColor", SUN_COLOR);
    // Written into no depth, seen from inside.
    raylib::rlDisableDepthMask();
    raylib::rlDisableBackfaceCulling();
    raylib::rlEnableVertexArray(vertexArray);
}

void RichSky::endDrawing() {
    raylib::rlDisableVertexArray();
    raylib::rlEnableBackfaceCulling();
    raylib::rlEnableDepthMask();
    raylib::rlDisableShader();
}
