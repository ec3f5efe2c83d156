#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controller.h"
#include "file-watch.h"
#include "intersector.h"
#include "loading-screen.h"
#include "model-loader.h"
#include "player.h"
#include "recording.h"
#include "renderer.h"
#include "settings-file.h"
#include "start-view.h"
#include "world-digest.h"
#include "world.h"

// The time a frame of the game spends baking chunks of the world beyond
// those around the player, in seconds.
inline constexpr double FRAME_BAKING_SECONDS = 0.004;

// The controller the game reads: the keyboard's keys as bound, and gamepad
// 0, its right-face buttons and its left stick, when one is present now (one
// connected later is not picked up).
std::shared_ptr<CompositeController> makeController(Settings const& settings = {});

// What a frame asks for besides the move: the information box, and why the
// free camera's key was refused (empty when it was not).
struct FrameStep {
    bool showInfo = false;
    std::string refused;
};

// Everything of one frame but the drawing, from its input and the motion it
// is turned into: turns the camera and moves it horizontally, lets the
// player follow against the index (or go back to the start's eye while
// reset is held) and puts the camera on the player's eyes. Flying, the
// camera moves along the view and up and down, and the player goes with it
// through everything; the free camera's key lands it where it is, unless it
// would stand inside a box.
FrameStep stepFrame(raylib::Camera3D& camera, Player& player, std::shared_ptr<Intersector> const& intersector,
                    FrameInput const& input, Motion const& motion = {}, raylib::Vector3 start = START_POSITION);

// The notice of a take-off, naming the keys that fly and land.
std::string flyingNotice(KeyBindings const& keys);

// What a server asks of a frame.
struct CompanyNews {
    // Where it put the player back.
    std::optional<raylib::Vector3> placedAt{};
    // Whether it sent its scene again, to be read as F5 reads it.
    bool newScene = false;
    // What the screen says, when something ended the session.
    std::string problem{};
};

// The others who play the same scene on a server, as a play meets them
// (see joined-play.h).
class Company {
public:
    virtual ~Company() = default;
    // Serves the network: every frame, also while the settings screen is
    // open, or the server would hear nothing and drop the player.
    virtual void listen() = 0;
    // What the server asked of the play since the last frame played.
    virtual CompanyNews news() = 0;
    // Opens the chat line on its key, and takes the frame's keys while it
    // is open: then the play sees none of them.
    virtual bool typing(std::vector<int> const& keys, KeyBindings const& bindings) = 0;
    // Says where the player is.
    virtual void tell(Player const& player, raylib::Camera3D const& camera) = 0;
    // Puts the others' figures where they stand, before the frame is drawn.
    virtual void placeFigures(SceneRenderer& scene) = 0;
    // Over the frame: the others' names, the chat, and the players' list.
    virtual void drawOver(raylib::Camera3D const& camera, bool listPlayers) = 0;
};

// How frames are played: where their input comes from and where it goes.
struct Play {
    // The scene file F5 reads again.
    std::string scenePath{};
    // The files whose saves read it again (see SceneLoad::files), unless the
    // settings turn that off; none when empty.
    std::vector<std::string> watched{};
    // When set, every frame's input is written to it.
    RecordingWriter* recorder = nullptr;
    // When set, its frames are played instead of the devices', until they end.
    Recording const* replay = nullptr;
    // Whether frames are drawn, on a renderer of the play's own; a replay
    // can run without.
    bool graphics = true;
    // The models of the world, shared with the worlds F5 builds.
    ModelCache* models = nullptr;
    // The settings the play follows, and changes in its settings screen,
    // the file they were read from, and where the screen saves them; the
    // defaults, and no screen, when not given.
    Settings* settings = nullptr;
    SettingsRead* loaded = nullptr;
    std::string settingsPath{};
    // The folder that holds assets/ (see assetPath); empty for the working
    // directory.
    std::string assetRoot{};
    // When set, called after each frame is shown, with the renderer that
    // drew it.
    std::function<void(Renderer&)> afterFrame{};
    // The loading screen on the window, which goes on showing while the
    // world around the player is built for the first frame.
    LoadingScreen* loadingScreen = nullptr;
    // The others on the server the play joined; none when it plays alone.
    Company* company = nullptr;
    // The fastest the server lets the player fly (0: not at all); none
    // when alone.
    std::optional<float> flySpeedCap{};
};

// The motion, flying no faster than a server allows.
Motion cappedMotion(Motion motion, std::optional<float> flySpeedCap);

// Where a play left the player, and a digest of the path it took: of the
// player's position after every frame.
struct PlayResult {
    int frames = 0;
    raylib::Vector3 position{};
    uint64_t pathDigest = DIGEST_START;  // of no frame yet
};

// Runs frames until the window is asked to close, or a replay's frames end.
// F5 reads the scene file again, as a save of a watched file does a moment
// later (a frame whose input it is in a recording).
PlayResult play(std::shared_ptr<World>& world, std::shared_ptr<Player> const& player, Play const& how);

// Runs frames until the window is asked to close. F5 reads the scene file
// (the demo scene's, unless given) again.
void gameLoop(std::shared_ptr<World> world, std::shared_ptr<Player> player);
void gameLoop(std::shared_ptr<World> world, std::shared_ptr<Player> player, std::string const& scenePath);

// How far below the lowest thing in the world a player who falls is told
// how to come back.
inline constexpr float FALLEN_DEPTH = 100.0f;
// What the screen tells a player at height y in a world whose lowest point
// is lowest: how to come back once it has fallen FALLEN_DEPTH below it;
// otherwise nothing.
std::string fallenNotice(float y, float lowest, KeyBindings const& keys);

// Reads the scene file again, seeded as at start, into a new world for the
// player where it stands, and swaps it in, unless the file has a problem
// that would stop the game: then the old world stays. Returns the load, with
// every problem it met.
SceneLoad reloadScene(std::string const& path, std::shared_ptr<Player> const& player, std::shared_ptr<World>& world,
                      ModelCache* models = nullptr, std::string const& assetRoot = "");

// What the screen says of a reload: the first problem that kept the old
// world, or the entities of the new one and how many warnings came with it,
// and the first of them.
std::string reloadNotice(SceneLoad const& load, int entities);
