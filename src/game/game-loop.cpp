#include "game-loop.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "desktop.h"
#include "game.h"
#include "notice.h"
#include "scene-check.h"
#include "scene-reader.h"
#include "world-digest.h"

raylib::Camera3D startCamera() {
    raylib::Camera3D camera{};
    camera.position = START_POSITION;
    camera.target = {-0.682f, 2.2f, 3.93f};
    camera.up = {0.0f, 1.0f, 0.0f};
    camera.fovy = 65.0f;
    camera.projection = raylib::CAMERA_PERSPECTIVE;
    return camera;
}

std::shared_ptr<CompositeController> makeController() {
    auto controller = std::make_shared<CompositeController>();
    controller->addController(std::make_shared<KeyboardController>());
    if (raylib::IsGamepadAvailable(0)) controller->addController(std::make_shared<GamepadController>(0));
    return controller;
}

bool stepFrame(raylib::Camera3D& camera, Controller const& controller, Player& player,
               std::shared_ptr<Intersector> const& intersector, float frameTime, raylib::Vector2 mouseDelta) {
    float const distance = frameTime * MOVE_SPEED;
    float const forward = controller.getForwardMovement();
    float const side = controller.getSideMovement();
    // The axes are scaled independently, not normalised: diagonal walking is
    // faster, as it always was.
    raylib::Vector3 const movement{distance * forward, distance * side, 0.0f};
    raylib::Vector3 const rotation{mouseDelta.x * MOUSE_SENSITIVITY, mouseDelta.y * MOUSE_SENSITIVITY, 0.0f};
    // The camera turns, then moves along its horizontal directions: it says
    // where the player wants to go.
    raylib::UpdateCameraPro(&camera, movement, rotation, 0.0f);

    // The player decides where it may go.
    player.move(camera.position, intersector);
    AdditionalKeys const keys = controller.getAdditionalKeys();
    if (keys.reset) player.move(START_POSITION, intersector);

    // Back onto the player's eyes, keeping the view direction.
    raylib::Vector3 const delta{player.position.x - camera.position.x, player.position.y - camera.position.y,
                                player.position.z - camera.position.z};
    camera.position = {camera.position.x + delta.x, camera.position.y + delta.y, camera.position.z + delta.z};
    camera.target = {camera.target.x + delta.x, camera.target.y + delta.y, camera.target.z + delta.z};
    return keys.showInfo;
}

std::string reloadScene(std::string const& path, std::shared_ptr<Player> const& player, std::shared_ptr<World>& world,
                        WorldOptions options) {
    // The file is read once, and checked without graphics before the old
    // world goes: two worlds with graphics at once would share, and the
    // first to go would drop, the light shader.
    std::ifstream file(path, std::ios::binary);
    std::string const text(std::istreambuf_iterator<char>(file), {});
    if (!file) return path + ":1:1: error: the scene file cannot be read";
    std::istringstream checked(text);
    for (SceneProblem const& problem : checkScene(checked, path, player)) {
        if (problem.fatal) return describeProblem(path, problem);
    }
    world.reset();
    initRandomToken();
    world = std::make_shared<World>(player, options);
    std::istringstream scene(text);
    SceneReader reader(player, &scene, world, path);
    try {
        reader.readScene();
    } catch (...) {
        reasonOfCurrentException();  // read differently the second time: the world holds what was read
    }
    return "";
}

namespace {

// The keys pressed since the last frame, also those already released: a
// quick tap comes and goes between two frames.
std::vector<int> pressedKeys() {
    std::vector<int> keys;
    for (int key = raylib::GetKeyPressed(); key != 0; key = raylib::GetKeyPressed()) keys.push_back(key);
    return keys;
}

// This frame's input from the devices: the controller, the clock, the mouse
// as the window lets the play have it, and F5.
FrameInput liveInput(Controller const& controller, DesktopWindow& desktop) {
    std::vector<int> const keys = pressedKeys();
    FrameInput input;
    input.frameTime = raylib::GetFrameTime();
    input.forward = controller.getForwardMovement();
    input.side = controller.getSideMovement();
    input.keys = controller.getAdditionalKeys();
    input.mouse = desktop.update(keys);
    input.reload = std::find(keys.begin(), keys.end(), raylib::KEY_F5) != keys.end();
    return input;
}

}  // namespace

PlayResult play(std::shared_ptr<World>& world, std::shared_ptr<Player> const& player, Play const& how) {
    auto const controller = makeController();
    raylib::Camera3D camera = startCamera();
    player->weapon.reset();
    PlayResult result;
    result.pathDigest = DIGEST_START;
    std::string notice;
    double noticeUntil = 0;
    DesktopWindow desktop;

    while (how.replay ? result.frames < static_cast<int>(how.replay->frames.size()) : !raylib::WindowShouldClose()) {
        if (how.replay && how.graphics && raylib::WindowShouldClose()) break;
        FrameInput const input = how.replay ? how.replay->frames[result.frames] : liveInput(*controller, desktop);
        if (how.recorder) how.recorder->write(input);
        bool const showInfo =
            stepFrame(camera, RecordedController(input), *player, world->intersector, input.frameTime, input.mouse);
        if (input.reload) {
            notice = reloadScene(how.scenePath, player, world, {.graphics = how.graphics});
            if (!notice.empty()) std::clog << "Scene not reloaded: " << notice << std::endl;
            if (how.graphics) noticeUntil = raylib::GetTime() + NOTICE_SECONDS;
        }
        ++result.frames;
        result.pathDigest = digestOf(result.pathDigest, &player->position, sizeof player->position);
        if (!how.graphics) continue;
        raylib::BeginDrawing();
        world->drawFrame(camera, showInfo);
        if (!notice.empty() && raylib::GetTime() < noticeUntil) drawNotice(notice);
        desktop.afterDrawing();
        raylib::EndDrawing();
    }
    result.position = player->position;
    return result;
}

void gameLoop(std::shared_ptr<World> world, std::shared_ptr<Player> player) {
    gameLoop(std::move(world), std::move(player), SCENE_PATH);
}

void gameLoop(std::shared_ptr<World> world, std::shared_ptr<Player> player, std::string const& scenePath) {
    play(world, player, {.scenePath = scenePath});
}
