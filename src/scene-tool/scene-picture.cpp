#include "scene-picture.h"

#include <iostream>
#include <sstream>

#include "game-loop.h"
#include "log-capture.h"
#include "scene-loader.h"
#include "shader.h"

namespace raylib {
#include <rlgl.h>
}

int drawScenePicture(PictureRequest const& request) {
    raylib::SetConfigFlags(raylib::FLAG_WINDOW_HIDDEN | raylib::FLAG_MSAA_4X_HINT);
    raylib::InitWindow(request.width, request.height, "tessarine-scene");
    if (!raylib::IsWindowReady()) {
        std::cerr << "tessarine-scene: cannot open a window with OpenGL 3.3 on the display; run it on an X11 "
                     "desktop, or with no DISPLAY set to draw on a virtual one (Xvfb)"
                  << std::endl;
        return 1;
    }
    auto quiet = std::make_unique<LogCapture>();
    initRandomToken();
    auto const player = std::make_shared<Player>();
    std::string problem;
    std::shared_ptr<World> world = loadSceneOrReason(request.scenePath, player, problem);
    quiet.reset();
    bool written = false;
    if (world) {
        raylib::Camera3D camera = startCamera();
        camera.position = request.eye;
        camera.target = request.look;
        raylib::BeginDrawing();
        world->drawFrame(camera, request.info);
        raylib::rlDrawRenderBatchActive();
        raylib::Image const image = raylib::LoadImageFromScreen();
        raylib::EndDrawing();
        written = raylib::ExportImage(image, request.outputPath.c_str());
        raylib::UnloadImage(image);
        if (!written) std::cerr << "tessarine-scene: cannot write " << request.outputPath << std::endl;
    } else {
        std::cerr << "tessarine-scene: the scene " << request.scenePath << " cannot be loaded: " << problem
                  << " (tessarine-scene check says where)" << std::endl;
    }
    world.reset();
    Shader::clearLightShader();
    raylib::CloseWindow();
    return written ? 0 : 1;
}
