#include "game-loop.h"

#include <algorithm>
#include <iostream>
#include <optional>

#include "browser-page.h"
#include "desktop-window.h"
#include "game.h"
#include "loading-screen.h"
#include "notice.h"
#include "render-scale.h"
#include "renderer.h"
#include "scene-loader.h"
#include "settings-screen.h"
#include "world-digest.h"

std::shared_ptr<CompositeController> makeController(Settings const& settings) {
    auto controller = std::make_shared<CompositeController>();
    controller->addController(std::make_shared<KeyboardController>(settings.keys));
    if (raylib::IsGamepadAvailable(0)) {
        controller->addController(std::make_shared<GamepadController>(0));
        controller->addController(std::make_shared<StickController>(0, settings.stickDeadZone));
    }
    return controller;
}

namespace {

// Takes off or lands, as the free camera's key asks: why not, when it cannot.
std::string switchFlight(Player& player, Intersector const& intersector, Motion const& motion) {
    if (!player.flying) {
        if (!motion.freeCamera) return "The free camera is off for this play (game.free_camera)";
        player.flying = true;
        return "";
    }
    if (!intersector.isEmpty(player.getAABB())) return "You cannot land here: you would stand inside a box";
    player.flying = false;
    return "";
}

// The camera turned, then moved along its view, its side and straight up.
void flyCamera(raylib::Camera3D& camera, FrameInput const& input, raylib::Vector3 rotation, float distance) {
    raylib::UpdateCameraPro(&camera, {}, rotation, 0.0f);
    raylib::Vector3 const forward = raylib::Vector3Normalize(raylib::Vector3Subtract(camera.target, camera.position));
    raylib::Vector3 const right = raylib::Vector3Normalize(raylib::Vector3CrossProduct(forward, camera.up));
    float const rise = (input.keys.up ? 1.0f : 0.0f) - (input.keys.down ? 1.0f : 0.0f);
    raylib::Vector3 const offset = raylib::Vector3Scale(
        raylib::Vector3Add(
            raylib::Vector3Add(raylib::Vector3Scale(forward, input.forward), raylib::Vector3Scale(right, input.side)),
            {0, rise, 0}),
        distance);
    camera.position = raylib::Vector3Add(camera.position, offset);
    camera.target = raylib::Vector3Add(camera.target, offset);
}

}  // namespace

FrameStep stepFrame(raylib::Camera3D& camera, Player& player, std::shared_ptr<Intersector> const& intersector,
                    FrameInput const& input, Motion const& motion, raylib::Vector3 start) {
    FrameStep step{input.keys.showInfo, ""};
    if (input.placedAt) player.placeAt(*input.placedAt);
    if (input.fly) step.refused = switchFlight(player, *intersector, motion);
    float const distance = input.frameTime * (player.flying ? motion.flySpeed : MOVE_SPEED);
    // The axes are scaled independently, not normalised: diagonal walking is
    // faster, as it always was.
    raylib::Vector3 const movement{distance * input.forward, distance * input.side, 0.0f};
    float const stickTurn = motion.stickLookSpeed * input.frameTime;
    float const pitch = input.mouse.y * motion.mouseSensitivity + input.stick.y * stickTurn;
    raylib::Vector3 const rotation{input.mouse.x * motion.mouseSensitivity + input.stick.x * stickTurn,
                                   motion.invertLook ? -pitch : pitch, 0.0f};
    if (player.flying) {
        flyCamera(camera, input, rotation, distance);
        player.placeAt(camera.position);
    } else {
        // The camera turns, then moves along its horizontal directions: it
        // says where the player wants to go.
        raylib::UpdateCameraPro(&camera, movement, rotation, 0.0f);
        // The player decides where it may go.
        if (motion.jump && input.keys.up) player.jump(motion.jumpHeight, *intersector);
        player.walk(camera.position, intersector, motion.slideAlongWalls);
    }
    if (input.keys.reset) {
        // Back to the start, on foot.
        player.flying = false;
        player.move(start, intersector);
    }

    // Back onto the player's eyes, keeping the view direction.
    raylib::Vector3 const delta{player.position.x - camera.position.x, player.position.y - camera.position.y,
                                player.position.z - camera.position.z};
    camera.position = {camera.position.x + delta.x, camera.position.y + delta.y, camera.position.z + delta.z};
    camera.target = {camera.target.x + delta.x, camera.target.y + delta.y, camera.target.z + delta.z};
    return step;
}

std::string fallenNotice(float y, float lowest, KeyBindings const& keys) {
    if (!(y < lowest - FALLEN_DEPTH)) return "";
    for (int const key : keys[RESET]) {
        if (key != 0) return "You have fallen out of the world: hold " + keyName(key) + " to go back to the start";
    }
    return "You have fallen out of the world: give the reset a key in the settings to go back to the start";
}

SceneLoad reloadScene(std::string const& path, std::shared_ptr<Player> const& player, std::shared_ptr<World>& world,
                      ModelCache* models, std::string const& assetRoot) {
    SceneLoad load = loadWorld(path, player, {.models = models, .assetRoot = assetRoot, .placePlayer = false});
    if (load.world) world = load.world;
    return load;
}

Motion cappedMotion(Motion motion, std::optional<float> flySpeedCap) {
    if (!flySpeedCap) return motion;
    motion.flySpeed = std::min(motion.flySpeed, *flySpeedCap);
    if (motion.flySpeed <= 0) motion.freeCamera = false;
    return motion;
}

std::string flyingNotice(KeyBindings const& keys) {
    auto const named = [&](Action action) { return keys[action][0] ? keyName(keys[action][0]) : "no key"; };
    return "Flying: " + named(FLY_UP) + " and " + named(FLY_DOWN) + " go up and down, " + named(FLY) + " lands";
}

std::string reloadNotice(SceneLoad const& load, int entities) {
    if (!load.world) return load.report().substr(0, load.report().find('\n'));
    std::string const reloaded = "Scene reloaded: " + std::to_string(entities) + " entities";
    size_t const count = load.problems.size();
    if (count == 0) return reloaded;
    return reloaded + ", " + std::to_string(count) + (count == 1 ? " warning: " : " warnings, the first: ") +
           load.problems.front().message;
}

namespace {

// The keys pressed since the last frame, also those already released: a
// quick tap comes and goes between two frames.
std::vector<int> pressedKeys() {
    std::vector<int> keys;
    for (int key = raylib::GetKeyPressed(); key != 0; key = raylib::GetKeyPressed()) keys.push_back(key);
    return keys;
}

bool anyPressed(std::vector<int> const& keys, std::array<int, 2> const& bound) {
    return std::any_of(bound.begin(), bound.end(),
                       [&](int key) { return key != 0 && std::find(keys.begin(), keys.end(), key) != keys.end(); });
}

bool anyHeld(std::array<int, 2> const& bound) {
    return std::any_of(bound.begin(), bound.end(), [](int key) { return key != 0 && raylib::IsKeyDown(key); });
}

// This frame's input from the devices: the controller, the clock, the mouse
// as the window lets the play have it, the right stick, and the reload key.
FrameInput liveInput(Controller const& controller, DesktopWindow& desktop, std::vector<int> const& keys,
                     Settings const& settings) {
    FrameInput input;
    input.frameTime = raylib::GetFrameTime();
    input.forward = controller.getForwardMovement();
    input.side = controller.getSideMovement();
    input.keys = controller.getAdditionalKeys();
    input.mouse = desktop.update(keys, settings.keys);
    input.reload = anyPressed(keys, settings.keys[RELOAD]);
    input.fly = anyPressed(keys, settings.keys[FLY]);
    if (raylib::IsGamepadAvailable(0)) {
        input.stick = readStickLook(0, settings.stickDeadZone);
        // The shoulders fly up and down; the left stick's press takes off and lands.
        input.keys.up |= raylib::IsGamepadButtonDown(0, raylib::GAMEPAD_BUTTON_RIGHT_TRIGGER_1);
        input.keys.down |= raylib::IsGamepadButtonDown(0, raylib::GAMEPAD_BUTTON_LEFT_TRIGGER_1);
        input.fly |= raylib::IsGamepadButtonPressed(0, raylib::GAMEPAD_BUTTON_LEFT_THUMB);
    }
    return input;
}

}  // namespace

namespace {

// One play, frame by frame: each frame reads its input, updates the player
// and the world, and draws.
class Session {
public:
    Session(std::shared_ptr<World>& world, std::shared_ptr<Player> const& player, Play const& how);
    // Builds what lies around the player before the first frame, the rest a
    // few milliseconds a frame; false when the window was closed meanwhile.
    bool prepare();
    bool running() const;
    // One frame; false when it ends the play.
    bool frame();
    PlayResult finish();

private:
    bool escapeEnds(std::vector<int> const& keys) const;
    // The settings screen opened or closed, a gamepad that came or went.
    void switchScreens(std::vector<int> const& keys);
    // The frame's input turned into the player's move (none while the chat
    // line is open); whether the information box is asked for.
    bool update(std::vector<int> const& keys, bool typing);
    void reload();
    void draw(bool showInfo, double started);
    // The settings that show on the screen, applied when they change.
    void applySettings();

    std::shared_ptr<World>& world;
    std::shared_ptr<Player> const& player;
    Play const& how;
    Settings defaults{};
    Settings& settings;
    // A replay moves as the play it replays moved.
    Motion const motion;
    std::shared_ptr<CompositeController> controller;
    bool gamepadUsed;
    raylib::Camera3D camera;
    std::optional<Renderer> renderer;
    AutoScale autoScale;
    std::optional<Settings> applied;
    float appliedScale = 0;
    PlayResult result;
    TimedNotice notice;
    float lowest;
    DesktopWindow desktop;
    std::optional<SettingsScreen> screen;
    // The files the world was read from, watched for saves unless replaying.
    std::vector<std::string> watched;
    SaveWatch saves;
};

Session::Session(std::shared_ptr<World>& world, std::shared_ptr<Player> const& player, Play const& how)
    : world(world),
      player(player),
      how(how),
      settings(how.settings ? *how.settings : defaults),
      motion(how.replay ? how.replay->motion : cappedMotion(settings.motion(), how.flySpeedCap)),
      controller(makeController(settings)),
      gamepadUsed(raylib::IsGamepadAvailable(0)),
      camera(cameraAt(world->start.eye, world->start.look, settings.fieldOfView)),
      autoScale(settings.targetFps),
      lowest(lowestPoint(*world->intersector)),
      watched(how.watched) {
    player->weapon.reset();
    if (how.recorder) notice.show("Recording to " + how.recorder->path, NoticeKind::NEWS);
}

bool Session::prepare() {
    if (how.graphics) {
        renderer.emplace(how.assetRoot);
        renderer->scene.bakingBudget = FRAME_BAKING_SECONDS;
        LoadingScreen fresh;
        LoadingScreen& loading = how.loadingScreen ? *how.loadingScreen : fresh;
        bakeShowingProgress(loading, *renderer, *world, camera.position);
        if (loading.closeAsked()) return false;
        // Escape closes the settings screen before it ends the game.
        raylib::SetExitKey(raylib::KEY_NULL);
    }
    applySettings();
    return true;
}

bool Session::running() const {
    return how.replay ? result.frames < static_cast<int>(how.replay->frames.size()) : !raylib::WindowShouldClose();
}

bool Session::frame() {
    if (how.replay && how.graphics && raylib::WindowShouldClose()) return false;
    double const started = raylib::GetTime();
    if (how.company) how.company->listen();
    std::vector<int> keys = how.replay ? std::vector<int>{} : pressedKeys();
    // The chat line's keys are its own.
    bool const typing = how.company && !how.replay && !screen && how.company->typing(keys, settings.keys);
    if (typing) keys.clear();
    if (escapeEnds(keys)) return false;
    switchScreens(keys);
    bool const showInfo = !screen && update(keys, typing);
    if (renderer) draw(showInfo, started);
    return true;
}

PlayResult Session::finish() {
    result.position = player->position;
    return result;
}

bool Session::escapeEnds(std::vector<int> const& keys) const {
    // In a page Escape only frees the mouse, which the browser does.
    return !IN_A_BROWSER && !how.replay && !screen &&
           std::find(keys.begin(), keys.end(), raylib::KEY_ESCAPE) != keys.end();
}

void Session::switchScreens(std::vector<int> const& keys) {
    if (screen && !screen->update(keys)) {
        screen.reset();
        controller = makeController(settings);
        desktop.catchMouse();
    } else if (IN_A_BROWSER && !how.replay && raylib::IsGamepadAvailable(0) != gamepadUsed) {
        // A page sees a gamepad only once one of its buttons is pressed.
        gamepadUsed = !gamepadUsed;
        controller = makeController(settings);
    } else if (!how.replay && !screen && how.loaded &&
               (anyPressed(keys, settings.keys[OPEN_SETTINGS]) ||
                raylib::IsGamepadButtonPressed(0, raylib::GAMEPAD_BUTTON_MIDDLE_RIGHT))) {
        if (how.recorder) {
            notice.show("The settings cannot change while the play is recorded", NoticeKind::PROBLEM);
        } else {
            screen.emplace(settings, *how.loaded, how.settingsPath);
            desktop.releaseMouse();
        }
    }
}

bool Session::update(std::vector<int> const& keys, bool typing) {
    FrameInput input = how.replay ? how.replay->frames[result.frames] : liveInput(*controller, desktop, keys, settings);
    // While the chat line is open the player stands, and may look around.
    if (typing) input = {.frameTime = input.frameTime, .mouse = input.mouse};
    // A save that has settled reloads as the key does, and is recorded so;
    // so does a scene the server sends again, and where it puts the player.
    if (!how.replay && saves.settled(raylib::GetTime())) input.reload = true;
    if (how.company) {
        CompanyNews const news = how.company->news();
        input.placedAt = news.placedAt;
        input.reload |= news.newScene;
        if (!news.problem.empty()) notice.show(news.problem, NoticeKind::PROBLEM);
    }
    if (how.recorder) how.recorder->write(input);
    FrameStep const step = stepFrame(camera, *player, world->intersector, input, motion, world->start.eye);
    if (!step.refused.empty()) notice.show(step.refused, NoticeKind::PROBLEM);
    if (input.fly && step.refused.empty() && player->flying) notice.show(flyingNotice(settings.keys), NoticeKind::NEWS);
    if (input.reload) reload();
    std::string const fallen = fallenNotice(player->position.y, lowest, settings.keys);
    if (!fallen.empty()) notice.offer(fallen, NoticeKind::PROBLEM, raylib::GetTime());
    if (how.company) how.company->tell(*player, camera);
    ++result.frames;
    result.pathDigest = digestOf(result.pathDigest, &player->position, sizeof player->position);
    return step.showInfo;
}

void Session::reload() {
    SceneLoad const load = reloadScene(how.scenePath, player, world, how.models, how.assetRoot);
    watched = load.files;
    if (!how.replay) saves.watch(watched, settings.reloadOnSave);
    std::clog << (load.world ? "" : "Scene not reloaded: ") << load.report() << std::flush;
    notice.show(reloadNotice(load, world->intersector->size()), load.world ? NoticeKind::NEWS : NoticeKind::PROBLEM);
    lowest = lowestPoint(*world->intersector);
}

void Session::draw(bool showInfo, double started) {
    applySettings();
    raylib::BeginDrawing();
    if (how.company) how.company->placeFigures(renderer->scene);
    renderer->drawFrame(*world, camera, showInfo);
    if (how.company) how.company->drawOver(camera, !screen && anyHeld(settings.keys[LIST_PLAYERS]));
    notice.draw(raylib::GetTime());
    if (screen) screen->draw();
    if (std::string const news = desktop.afterDrawing(); !news.empty()) notice.show(news, NoticeKind::NEWS);
    if (settings.renderScale == 0) {
        renderer->finish();
        autoScale.update(raylib::GetTime() - started);
    }
    raylib::EndDrawing();
    if (how.afterFrame) how.afterFrame(*renderer);
}

void Session::applySettings() {
    if (applied == settings && appliedScale == autoScale.scale) return;
    if (!how.replay && (!applied || applied->reloadOnSave != settings.reloadOnSave))
        saves.watch(watched, settings.reloadOnSave);
    applied = settings;
    appliedScale = autoScale.scale;
    camera.fovy = settings.fieldOfView;
    if (!renderer) return;
    renderer->showFrameRate = settings.showFrameRate;
    renderer->multisampling = settings.multisampling;
    renderer->scene.viewDistance = static_cast<float>(settings.viewDistance);
    renderer->setRichLooks(settings.looks == LOOKS_RICH);
    renderer->shadows = settings.shadows;
    renderer->setRenderScale(settings.renderScale == 0 ? autoScale.scale : settings.renderScale / 100.0f);
}

}  // namespace

PlayResult play(std::shared_ptr<World>& world, std::shared_ptr<Player> const& player, Play const& how) {
    Session session(world, player, how);
    if (!session.prepare()) return {0, player->position};
    while (session.running() && session.frame()) {
    }
    return session.finish();
}

void gameLoop(std::shared_ptr<World> world, std::shared_ptr<Player> player) {
    gameLoop(std::move(world), std::move(player), SCENE_PATH);
}

void gameLoop(std::shared_ptr<World> world, std::shared_ptr<Player> player, std::string const& scenePath) {
    play(world, player, {.scenePath = scenePath});
}
