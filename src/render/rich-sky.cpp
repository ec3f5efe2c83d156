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

void RichSky::draw(Atmosphere const& atmosphere) const {
    raylib::rlDrawRenderBatchActive();
    raylib::Matrix const viewProjection = currentViewProjection();
    for (raylib::Shader const shader : {dome, sun}) {
        raylib::rlEnableShader(shader.id);
        raylib::SetShaderValueMatrix(shader, raylib::GetShaderLocation(shader, "viewProjection"), viewProjection);
        setShaderVector(shader, "towardSun", raylib::Vector3Normalize(atmosphere.towardSun));
        setShaderVector(shader, "horizonColor", colorFractions(atmosphere.horizon));
        setShaderVector(shader, "zenithColor", colorFractions(atmosphere.zenith));
        setShaderVector(shader, "sunColor", SUN_COLOR);
    }
    // At the far plane, so drawn only where nothing is nearer (the depth
    // test lets the cleared depth's equal through), and not written; the
    // sun over the dome, by its cover.
    raylib::rlDisableDepthMask();
    raylib::rlDisableBackfaceCulling();
    raylib::rlEnableVertexArray(vertexArray);
    // The dome is opaque: blending it would only cost a software renderer
    // a read of every pixel it covers.
    raylib::rlDisableColorBlend();
    raylib::rlEnableShader(dome.id);
    raylib::rlDrawVertexArray(0, DOME_VERTICES);
    raylib::rlEnableColorBlend();
    raylib::rlEnableShader(sun.id);
    raylib::rlDrawVertexArray(0, 6);
    raylib::rlDisableVertexArray();
    raylib::rlEnableBackfaceCulling();
    raylib::rlEnableDepthMask();
    raylib::rlDisableShader();
}
