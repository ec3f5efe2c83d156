#include "scene-picture.h"

#include <iostream>

#include "log-capture.h"
#include "renderer.h"
#include "scene-loader.h"

namespace raylib {
#include <rlgl.h>
}

namespace {

// Draws the world on the open window and writes the frame; false when the
// file cannot be written.
bool writeFrame(World const& world, PictureRequest const& request) {
    Renderer renderer;
    raylib::Camera3D const camera = cameraAt(request.eye, request.look);
    raylib::BeginDrawing();
    renderer.drawFrame(world, camera, request.info);
    raylib::rlDrawRenderBatchActive();
    raylib::Image const image = raylib::LoadImageFromScreen();
    raylib::EndDrawing();
    bool const written = raylib::ExportImage(image, request.outputPath.c_str());
    raylib::UnloadImage(image);
    return written;
}

}  // namespace

int drawScenePicture(PictureRequest const& request) {
    raylib::SetConfigFlags(raylib::FLAG_WINDOW_HIDDEN | raylib::FLAG_MSAA_4X_HINT);
    raylib::InitWindow(request.width, request.height, "tessarine-scene");
    if (!raylib::IsWindowReady()) {
        std::cerr << "tessarine-scene: cannot open a window with OpenGL 3.3 on the display; run it on an X11 "
                     "desktop, or with no DISPLAY set to draw on a virtual one (Xvfb)"
                  << std::endl;
        return 1;
    }
    SceneLoad load;
    {
        LogCapture quiet;
        load = loadWorld(request.scenePath, std::make_shared<Player>());
    }
    bool written = false;
    if (!load.world) {
        std::cerr << "tessarine-scene: the scene " << request.scenePath
                  << " cannot be loaded (tessarine-scene check says where)" << std::endl;
    } else if (!(written = writeFrame(*load.world, request))) {
        std::cerr << "tessarine-scene: cannot write " << request.outputPath << std::endl;
    }
    raylib::CloseWindow();
    return written ? 0 : 1;
}
