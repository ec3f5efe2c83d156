#include "game-loop.h"

#include <algorithm>
#include <iostream>
#include <optional>

#include "desktop.h"
#include "game.h"
#include "notice.h"
#include "renderer.h"
#include "scene-loader.h"
#include "world-digest.h"

std::shared_ptr<CompositeController> makeController() {
    auto controller = std::make_shared<CompositeController>();
    controller->addController(std::make_shared<KeyboardController>());
    if (raylib::IsGamepadAvailable(0)) controller->addController(std::make_shared<GamepadController>(0));
    return controller;
}

bool stepFrame(raylib::Camera3D& camera, Player& player, std::shared_ptr<Intersector> const& intersector,
               FrameInput const& input) {
    float const distance = input.frameTime * MOVE_SPEED;
    // The axes are scaled independently, not normalised: diagonal walking is
    // faster, as it always was.
    raylib::Vector3 const movement{distance * input.forward, distance * input.side, 0.0f};
    raylib::Vector3 const rotation{input.mouse.x * MOUSE_SENSITIVITY, input.mouse.y * MOUSE_SENSITIVITY, 0.0f};
    // The camera turns, then moves along its horizontal directions: it says
    // where the player wants to go.
    raylib::UpdateCameraPro(&camera, movement, rotation, 0.0f);

    // The player decides where it may go.
    player.move(camera.position, intersector);
    if (input.keys.reset) player.move(START_POSITION, intersector);

    // Back onto the player's eyes, keeping the view direction.
    raylib::Vector3 const delta{player.position.x - camera.position.x, player.position.y - camera.position.y,
                                player.position.z - camera.position.z};
    camera.position = {camera.position.x + delta.x, camera.position.y + delta.y, camera.position.z + delta.z};
    camera.target = {camera.target.x + delta.x, camera.target.y + delta.y, camera.target.z + delta.z};
    return input.keys.showInfo;
}

std::string reloadScene(std::string const& path, std::shared_ptr<Player> const& player, std::shared_ptr<World>& world,
                        ModelCache* models) {
    SceneLoad const load = loadWorld(path, player, {.models = models});
    if (!load.world) return load.report();
    world = load.world;
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

// The notice on the screen, shown for a few seconds.
class Notice {
public:
    void show(std::string text, NoticeKind kind) {
        shown = std::move(text);
        this->kind = kind;
        fresh = true;
    }
    // The notice's seconds count from the first frame that shows it.
    void draw() {
        if (fresh) until = raylib::GetTime() + NOTICE_SECONDS;
        fresh = false;
        if (!shown.empty() && raylib::GetTime() < until) drawNotice(shown, kind);
    }

private:
    std::string shown;
    NoticeKind kind = NoticeKind::NEWS;
    bool fresh = false;
    double until = 0;
};

}  // namespace

PlayResult play(std::shared_ptr<World>& world, std::shared_ptr<Player> const& player, Play const& how) {
    auto const controller = makeController();
    raylib::Camera3D camera = startCamera();
    player->weapon.reset();
    std::optional<Renderer> renderer;
    if (how.graphics) renderer.emplace();
    PlayResult result;
    result.pathDigest = DIGEST_START;
    Notice notice;
    if (how.recorder) notice.show("Recording to " + how.recorder->path, NoticeKind::NEWS);
    DesktopWindow desktop;

    while (how.replay ? result.frames < static_cast<int>(how.replay->frames.size()) : !raylib::WindowShouldClose()) {
        if (how.replay && how.graphics && raylib::WindowShouldClose()) break;
        FrameInput const input = how.replay ? how.replay->frames[result.frames] : liveInput(*controller, desktop);
        if (how.recorder) how.recorder->write(input);
        bool const showInfo = stepFrame(camera, *player, world->intersector, input);
        if (input.reload) {
            std::string const problems = reloadScene(how.scenePath, player, world, how.models);
            if (!problems.empty()) {
                std::clog << "Scene not reloaded: " << problems << std::flush;
                notice.show(problems.substr(0, problems.find('\n')), NoticeKind::PROBLEM);
            } else {
                notice.show("Scene reloaded: " + std::to_string(world->intersector->size()) + " entities",
                            NoticeKind::NEWS);
            }
        }
        ++result.frames;
        result.pathDigest = digestOf(result.pathDigest, &player->position, sizeof player->position);
        if (!renderer) continue;
        raylib::BeginDrawing();
        renderer->drawFrame(*world, camera, showInfo);
        notice.draw();
        if (std::string const news = desktop.afterDrawing(); !news.empty()) notice.show(news, NoticeKind::NEWS);
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
