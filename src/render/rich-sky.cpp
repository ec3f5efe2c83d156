#include "rich-sky.h"

#include "lighting.h"

namespace raylib {
#include <rlgl.h>
}

namespace {

constexpr raylib::Vector3 SUN_COLOR{1.0f, 0.96f, 0.88f};

}  // namespace

RichSky::RichSky(std::string const& assetRoot)
    : shader(loadShaderFiles(assetRoot, "assets/shaders/glsl330/sky.vs", "assets/shaders/glsl330/sky.fs")),
      vertexArray(raylib::rlLoadVertexArray()) {}

RichSky::~RichSky() {
    raylib::rlUnloadVertexArray(vertexArray);
    raylib::UnloadShader(shader);
}

void RichSky::draw(Atmosphere const& atmosphere) const {
    raylib::rlDrawRenderBatchActive();
    raylib::Matrix const viewProjection =
        raylib::MatrixMultiply(raylib::rlGetMatrixModelview(), raylib::rlGetMatrixProjection());
    raylib::rlEnableShader(shader.id);
    raylib::SetShaderValueMatrix(shader, raylib::GetShaderLocation(shader, "inverseViewProjection"),
                                 raylib::MatrixInvert(viewProjection));
    setShaderVector(shader, "towardSun", raylib::Vector3Normalize(atmosphere.towardSun));
    setShaderVector(shader, "horizonColor", colorFractions(atmosphere.horizon));
    setShaderVector(shader, "zenithColor", colorFractions(atmosphere.zenith));
    setShaderVector(shader, "sunColor", SUN_COLOR);
    // At the far plane, so drawn only where nothing is nearer (the depth
    // test lets the cleared depth's equal through), and not written.
    raylib::rlDisableDepthMask();
    raylib::rlEnableVertexArray(vertexArray);
    raylib::rlDrawVertexArray(0, 3);
    raylib::rlDisableVertexArray();
    raylib::rlEnableDepthMask();
    raylib::rlDisableShader();
}
