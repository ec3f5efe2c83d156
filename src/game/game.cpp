#include "game.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>

#include <CLI/CLI.hpp>

#include "asset-folder.h"
#include "asset-path.h"
#include "browser-page.h"
#include "desktop-window.h"
#include "game-loop.h"
#include "join-server.h"
#include "loading-screen.h"
#include "open-window.h"
#include "raylib-api.h"
#include "raylib-log.h"
#include "recording.h"
#include "scene-loader.h"
#include "ui-scale.h"
#include "window-identity.h"
#include "world-digest.h"

namespace {

constexpr char const* WINDOW_TITLE = "Tessarine";

// Says on standard error what keeps the game from going on, in one line.
int failure(std::string const& what) {
    std::cerr << "tessarine: " << what << std::endl;
    return EXIT_FAILURE;
}

// Loads the scene showing its progress; on failure says why on standard
// error, after whatever the scene reader logged, and returns the load
// without a world. Closing the window meanwhile ends the game without a word.
SceneLoad loadSceneOrExplain(LoadingScreen& screen, std::string const& path, std::shared_ptr<Player> const& player,
                             LoadOptions const& options) {
    SceneLoad load = loadShowingProgress(screen, path, player, options);
    // What the scene may lack is said, as the scene tool's check says it.
    if (load.world) std::clog << load.report() << std::flush;
    if (!load.world && !screen.closeAsked()) {
        std::clog.flush();
        std::cerr << load.report() << "Tessarine cannot start: the scene " << path << " could not be loaded."
                  << std::endl;
    }
    return load;
}

}  // namespace

float calcUIScale() {
    int const monitor = raylib::GetCurrentMonitor();
    return fitScale(raylib::GetMonitorWidth(monitor), raylib::GetMonitorHeight(monitor));
}

void renderInitScreen() {
    raylib::BeginDrawing();
    drawLoadingTitle();
    raylib::EndDrawing();
}

int runGame() {
    return runGame(GameOptions{});
}

namespace {

// The settings of this run: the file's, then those given for it alone.
// Bad ones never stop the game: each is said once, and its default used.
SettingsRead settingsForRun(GameOptions const& options, Settings& settings) {
    restoreKeptFile(options.settingsPath);
    SettingsRead loaded = loadSettings(options.settingsPath);
    settings = loaded.settings;
    for (std::string const& set : options.sets) {
        if (std::string const problem = setFromText(settings, set); !problem.empty()) {
            std::cerr << "tessarine: " << problem << std::endl;
        }
    }
    for (Problem const& warning : loaded.warnings) std::cerr << "tessarine: " << describeProblem(warning) << std::endl;
    return loaded;
}

// Opens the window as the game shows it, sized to the monitor, and draws
// the loading screen twice. The window shows once it has its class, which
// desktops match with the game's menu entry. A replay runs as fast as the
// renderer allows. A scaled view is drawn into samples of its own: the
// window's would only cost. A page has no monitor scale for high-DPI to
// follow.
bool openGameWindow(Settings const& settings, bool replaying, std::string const& assetRoot) {
    bool const multisampling = settings.multisampling && settings.renderScale == 100;
    unsigned const flags = (IN_A_BROWSER ? 0 : raylib::FLAG_WINDOW_HIGHDPI) | raylib::FLAG_WINDOW_HIDDEN |
                           (multisampling ? raylib::FLAG_MSAA_4X_HINT : 0) |
                           (replaying || !settings.verticalSync ? 0 : raylib::FLAG_VSYNC_HINT);
    if (!openWindow(BASE_WIDTH, BASE_HEIGHT, WINDOW_TITLE, flags)) return false;
    setWindowClass();
    setWindowIcon(assetRoot);
    raylib::ClearWindowState(raylib::FLAG_WINDOW_HIDDEN);
    float const scale = calcUIScale();
    raylib::DisableCursor();
    raylib::SetTargetFPS(replaying ? 0 : settings.frameRateCap);
    WindowSize const size = windowSizeFor(scale);
    raylib::SetWindowSize(size.width, size.height);
    raylib::SetWindowState(raylib::FLAG_WINDOW_MAXIMIZED);
    raylib::SetWindowPosition(0, 0);
    if (settings.fullscreen) raylib::ToggleFullscreen();
    fitCanvasToPage();
    renderInitScreen();
    renderInitScreen();
    return true;
}

// What a run plays and how: the scene, the recording it replays or writes.
struct Run {
    GameOptions const& options;
    std::string replayName;
    // The scene as the recording names it, and where it is read from.
    std::string sceneName, scenePath;
    std::optional<Recording> recording{};
    std::unique_ptr<RecordingWriter> recorder{};
};

// Starts the recording asked for, or checks that the one replayed was made
// on this world. Says why it cannot, or nothing.
std::string startRecording(Run& run, World const& world, Motion const& motion) {
    // Only recordings need the world's digest, which takes a look at every entity.
    bool const needed = run.recording || !run.options.recordPath.empty();
    uint64_t const digest = needed ? worldDigest(*world.intersector) : 0;
    if (run.recording && run.recording->worldDigest != digest) {
        return "cannot replay " + run.replayName + ": it was made on another scene than " + run.scenePath + " is now";
    }
    if (run.options.recordPath.empty()) return "";
    run.recorder = std::make_unique<RecordingWriter>(run.options.recordPath, run.sceneName, digest, motion);
    if (!run.recorder->good()) return "cannot record to " + run.options.recordPath + ": " + std::strerror(errno);
    return "";
}

// Plays the world, then says how a replay ended and what was recorded.
void playAndReport(Run& run, std::shared_ptr<World>& world, std::shared_ptr<Player> const& player, Play play) {
    play.scenePath = run.scenePath;
    play.recorder = run.recorder.get();
    play.replay = run.recording ? &*run.recording : nullptr;
    play.afterFrame = [&](Renderer&) {
        reportFrame(player->position);
        fitCanvasToPage();
    };
    PlayResult const played = ::play(world, player, play);
    if (run.recording) {
        std::printf("Replay of %s: %d frames; the player ends at (%.9g, %.9g, %.9g); path digest %016llx\n",
                    run.replayName.c_str(), played.frames, played.position.x, played.position.y, played.position.z,
                    static_cast<unsigned long long>(played.pathDigest));
    }
    if (run.recorder) std::printf("Recorded %d frames to %s\n", run.recorder->frames, run.options.recordPath.c_str());
}

}  // namespace

int runGame(GameOptions const& options) {
    Run run{options, options.replayName.empty() ? options.replayPath : options.replayName, options.scenePath, ""};
    Settings settings;
    SettingsRead loaded = settingsForRun(options, settings);
    if (!options.replayPath.empty()) {
        ReadResult<Recording> read = readRecording(options.replayPath);
        if (!read) return failure("cannot replay " + run.replayName + ": " + read.problem().message);
        run.recording = std::move(*read);
        run.sceneName = run.recording->scenePath;
    }
    run.scenePath = assetPath(options.assetRoot, run.sceneName);

    // Without a window the game says so in one line: the start's log waits
    // for the window.
    holdRaylibLog();
    raylib::TraceLog(raylib::LOG_INFO, "Initialization");
    if (!openGameWindow(settings, run.recording.has_value(), options.assetRoot)) {
        return failure(
            "cannot open a window with OpenGL 3.3 on this display: run it on an X11 desktop, or under "
            "xvfb-run (from the xvfb package)");
    }
    auto player = std::make_shared<Player>();
    ModelCache models;
    LoadingScreen loadingScreen;
    Joined joined;
    if (!options.joinServer.empty()) {
        std::string problem;
        joined = joinServer({options.joinServer, options.playerName, options.passwordFile, options.assetRoot},
                            loadingScreen, problem);
        if (!joined.company) {
            raylib::CloseWindow();
            return problem.empty() ? EXIT_SUCCESS : failure(problem);
        }
        // A recording names the scene as kept in the cache, where a replay finds it.
        run.sceneName = run.scenePath = joined.scenePath;
    }
    LoadOptions const loading{.models = &models, .assetRoot = options.assetRoot};
    SceneLoad load = loadSceneOrExplain(loadingScreen, run.scenePath, player, loading);
    // The world is the play's alone: F5 replaces it, and nothing else keeps the old one.
    std::shared_ptr<World> world = std::move(load.world);
    if (!world) {
        bool const closed = loadingScreen.closeAsked();
        raylib::CloseWindow();
        return closed ? EXIT_SUCCESS : EXIT_FAILURE;
    }
    std::optional<float> const flySpeedCap =
        joined.company ? std::optional<float>(joined.flySpeed) : std::optional<float>();
    std::string const problem = startRecording(run, *world, cappedMotion(settings.motion(), flySpeedCap));
    if (problem.empty()) {
        playAndReport(run, world, player,
                      {.watched = std::move(load.files),
                       .models = &models,
                       .settings = &settings,
                       .loaded = &loaded,
                       .settingsPath = options.settingsPath,
                       .assetRoot = options.assetRoot,
                       .loadingScreen = &loadingScreen,
                       .company = joined.company.get(),
                       .flySpeedCap = flySpeedCap});
    }
    raylib::CloseWindow();
    return problem.empty() ? EXIT_SUCCESS : failure(problem);
}

namespace {

// The command line read into options; a status to end with when it cannot
// be, or asks only for help.
std::optional<int> readCommandLine(int argc, char** argv, GameOptions& options, bool& verbose) {
    CLI::App app("Tessarine: a first-person walk through a world of voxels.", "tessarine");
    auto* scene =
        app.add_option("SCENE", options.scenePath, "the scene file to play (default " + options.scenePath + ")");
    auto* record = app.add_option("--record", options.recordPath, "record the play to FILE")->type_name("FILE");
    auto* replay = app.add_option("--replay", options.replayPath, "play a recording, on the scene it was made on")
                       ->type_name("FILE")
                       ->excludes(record)
                       ->excludes(scene);
    auto* join = app.add_option("--join", options.joinServer, "play the scene of a server, with the others on it")
                     ->type_name("HOST[:PORT]")
                     ->excludes(scene)
                     ->excludes(replay);
    app.add_option("--name", options.playerName, "the name the others see on a server (default: the user's)")
        ->needs(join);
    app.add_option("--password-file", options.passwordFile, "the server's password: the first line of FILE")
        ->type_name("FILE")
        ->needs(join);
    app.add_flag("--verbose", verbose, "show the graphics library's log too");
    app.add_option("--settings", options.settingsPath, "read the settings from FILE, and save them there")
        ->type_name("FILE")
        ->capture_default_str();
    app.add_option("--set", options.sets, "change a setting for this run, as the settings file writes it")
        ->type_name("KEY=VALUE")
        ->allow_extra_args(false);
    try {
        app.parse(argc, argv);
    } catch (CLI::CallForHelp const&) {
        std::cout << app.help();
        return EXIT_SUCCESS;
    } catch (CLI::ParseError const& e) {
        std::cerr << "tessarine: " << e.what() << " (tessarine --help says more)" << std::endl;
        return 2;
    }
    return std::nullopt;
}

// A setting given on the command line is meant for this run: one that
// cannot be used is refused, not played past.
bool settingsUsable(std::vector<std::string> const& sets) {
    Settings scratch;
    for (std::string const& set : sets) {
        if (std::string const problem = setFromText(scratch, set); !problem.empty()) {
            std::cerr << "tessarine: " << problem << " (tessarine --help says more)" << std::endl;
            return false;
        }
    }
    return true;
}

}  // namespace

int gameMain(int argc, char** argv) {
    GameOptions options;
    bool verbose = false;
    if (std::optional<int> const status = readCommandLine(argc, argv, options, verbose)) return *status;
    if (!settingsUsable(options.sets)) return 2;
    routeRaylibLog(verbose);
    // Paths on the command line are the starting folder's; assets are read
    // from the folder that has them, which may be the installed one.
    options.replayName = options.replayPath;
    for (std::string* path :
         {&options.scenePath, &options.recordPath, &options.replayPath, &options.settingsPath, &options.passwordFile}) {
        if (!path->empty() && *path != SCENE_PATH) *path = std::filesystem::absolute(*path).string();
    }
    std::filesystem::path const assets = assetFolder();
    if (assets.empty()) return failure("cannot find its assets: neither ./assets nor ../share/tessarine beside it");
    options.assetRoot = assetRootOf(assets);
    if (options.playerName.empty()) {
        char const* user = std::getenv("USER");
        options.playerName = user && *user ? user : "player";
    }
    if (options.replayPath.empty() && options.joinServer.empty()) {
        std::string const scenePath = assetPath(options.assetRoot, options.scenePath);
        if (std::string const problem = sceneFileProblem(scenePath); !problem.empty()) return failure(problem);
    }
    return runGame(options);
}
