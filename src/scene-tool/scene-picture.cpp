#include "scene-picture.h"

#include <algorithm>
#include <iostream>

#include "log-capture.h"
#include "open-window.h"
#include "renderer.h"
#include "scene-loader.h"
#include "screen-capture.h"

namespace {

// Draws the world on the open window and writes the frame. Says what went
// wrong, and returns false, when the renderer lacks an asset or the file
// cannot be written.
bool writeFrame(World const& world, PictureRequest const& request) {
    Renderer renderer(request.assetRoot);
    if (std::string const missing = renderer.missingAssets(); !missing.empty()) {
        std::cerr << "tessarine-scene: cannot draw without " << missing << std::endl;
        return false;
    }
    renderer.multisampling = true;
    renderer.setRichLooks(request.richLooks);
    renderer.shadows = request.shadows;
    raylib::Vector3 const eye = request.eye.value_or(world.start.eye), look = request.look.value_or(world.start.look);
    if (raylib::Vector3Equals(eye, look)) {
        std::cerr << "tessarine-scene: the camera stands on the point it looks at: give --eye or --look elsewhere"
                  << std::endl;
        return false;
    }
    raylib::Camera3D const camera = cameraAt(eye, look);
    raylib::BeginDrawing();
    renderer.drawFrame(world, camera, request.info);
    raylib::Image const image = captureScreen();
    raylib::EndDrawing();
    bool const written = raylib::ExportImage(image, request.outputPath.c_str());
    raylib::UnloadImage(image);
    if (!written) std::cerr << "tessarine-scene: cannot write " << request.outputPath << std::endl;
    return written;
}

}  // namespace

int drawScenePicture(PictureRequest const& request) {
    if (!openWindow(request.width, request.height, "tessarine-scene",
                    raylib::FLAG_WINDOW_HIDDEN | raylib::FLAG_MSAA_4X_HINT)) {
        std::cerr << "tessarine-scene: cannot open a window with OpenGL 3.3 on the display; run it on an X11 "
                     "desktop, or with no DISPLAY set to draw on a virtual one (Xvfb)"
                  << std::endl;
        return 1;
    }
    SceneLoad load;
    {
        LogCapture quiet;
        load = loadWorld(request.scenePath, std::make_shared<Player>(), {.assetRoot = request.assetRoot});
    }
    // A scene with a problem would give a picture without what it lacks.
    std::cerr << load.report();
    size_t const errors = std::count_if(load.problems.begin(), load.problems.end(),
                                        [](Problem const& p) { return p.severity != Severity::WARNING; });
    if (errors > 0) {
        std::cerr << "tessarine-scene: the scene " << request.scenePath << " is not drawn: it has " << errors
                  << (errors == 1 ? " problem" : " problems") << std::endl;
    }
    bool const written = errors == 0 && writeFrame(*load.world, request);
    raylib::CloseWindow();
    return written ? 0 : 1;
}
