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

#include "browser-page.h"
#include "desktop.h"
#include "game-loop.h"
#include "loading-screen.h"
#include "raylib-api.h"
#include "raylib-log.h"
#include "recording.h"
#include "scene-loader.h"
#include "ui-scale.h"
#include "world-digest.h"

namespace {

constexpr char const* WINDOW_TITLE = "Tessarine";

// Says on standard error what keeps the game from going on, in one line.
int failure(std::string const& what) {
    std::cerr << "tessarine: " << what << std::endl;
    return EXIT_FAILURE;
}

// Loads the scene showing its progress; on failure says why on standard
// error, after whatever the scene reader logged, and returns an empty world.
// Closing the window meanwhile ends the game without a word.
std::shared_ptr<World> loadSceneOrExplain(LoadingScreen& screen, std::string const& path,
                                          std::shared_ptr<Player> const& player, ModelCache& models) {
    SceneLoad const load = loadShowingProgress(screen, path, player, {.models = &models});
    // What the scene may lack is said, as the scene tool's check says it.
    if (load.world) std::clog << load.report() << std::flush;
    if (!load.world && !screen.closeAsked()) {
        std::clog.flush();
        std::cerr << load.report() << "Tessarine cannot start: the scene " << path << " could not be loaded."
                  << std::endl;
    }
    return load.world;
}

}  // namespace

float calcUIScale() {
    int const monitor = raylib::GetCurrentMonitor();
    return fitScale(raylib::GetMonitorWidth(monitor), raylib::GetMonitorHeight(monitor));
}

void renderInitScreen() {
    raylib::BeginDrawing();
    raylib::ClearBackground({245, 245, 245, 255});
    raylib::DrawText(raylib::TextFormat("Loading scene..."), 200, 80, 40, {0, 228, 48, 255});
    raylib::EndDrawing();
}

int runGame() {
    return runGame(GameOptions{});
}

int runGame(GameOptions const& options) {
    std::string const replayName = options.replayName.empty() ? options.replayPath : options.replayName;
    // Bad settings never stop the game: each is said once, and its default used.
    restoreKeptFile(options.settingsPath);
    SettingsRead loaded = loadSettings(options.settingsPath);
    Settings settings = loaded.settings;
    for (std::string const& set : options.sets) {
        if (std::string const problem = setFromText(settings, set); !problem.empty()) {
            std::cerr << "tessarine: " << problem << std::endl;
        }
    }
    for (Problem const& warning : loaded.warnings) std::cerr << "tessarine: " << describeProblem(warning) << std::endl;
    std::optional<Recording> recording;
    std::string scenePath = options.scenePath;
    if (!options.replayPath.empty()) {
        ReadResult<Recording> read = readRecording(options.replayPath);
        if (!read) return failure("cannot replay " + replayName + ": " + read.problem().message);
        recording = std::move(*read);
        scenePath = recording->scenePath;
    }

    // Without a window the game says so in one line: the start's log waits
    // for the window.
    holdRaylibLog();
    raylib::TraceLog(raylib::LOG_INFO, "Initialization");
    // The window shows once it has its class, which desktops match with the
    // game's menu entry. A replay runs as fast as the renderer allows.
    // A scaled view is drawn into samples of its own: the window's would
    // only cost. A page has no monitor scale for high-DPI to follow.
    bool const multisampling = settings.multisampling && settings.renderScale == 100;
    unsigned const flags = (IN_A_BROWSER ? 0 : raylib::FLAG_WINDOW_HIGHDPI) | raylib::FLAG_WINDOW_HIDDEN |
                           (multisampling ? raylib::FLAG_MSAA_4X_HINT : 0) |
                           (recording || !settings.verticalSync ? 0 : raylib::FLAG_VSYNC_HINT);
    if (!openWindow(BASE_WIDTH, BASE_HEIGHT, WINDOW_TITLE, flags)) {
        return failure(
            "cannot open a window with OpenGL 3.3 on this display: run it on an X11 desktop, or under "
            "xvfb-run (from the xvfb package)");
    }
    setWindowClass();
    setWindowIcon();
    raylib::ClearWindowState(raylib::FLAG_WINDOW_HIDDEN);
    float const scale = calcUIScale();
    raylib::DisableCursor();
    raylib::SetTargetFPS(recording ? 0 : settings.frameRateCap);
    WindowSize const size = windowSizeFor(scale);
    raylib::SetWindowSize(size.width, size.height);
    raylib::SetWindowState(raylib::FLAG_WINDOW_MAXIMIZED);
    raylib::SetWindowPosition(0, 0);
    if (settings.fullscreen) raylib::ToggleFullscreen();
    fitCanvasToPage();
    renderInitScreen();
    renderInitScreen();

    auto player = std::make_shared<Player>();
    ModelCache models;
    LoadingScreen loadingScreen;
    std::shared_ptr<World> world = loadSceneOrExplain(loadingScreen, scenePath, player, models);
    if (!world) {
        bool const closed = loadingScreen.closeAsked();
        raylib::CloseWindow();
        return closed ? EXIT_SUCCESS : EXIT_FAILURE;
    }
    // Only recordings need the world's digest, which takes a look at every entity.
    uint64_t const digest = recording || !options.recordPath.empty() ? worldDigest(*world->intersector) : 0;
    std::string problem;
    std::unique_ptr<RecordingWriter> recorder;
    if (recording && recording->worldDigest != digest) {
        problem = "cannot replay " + replayName + ": it was made on another scene than " + scenePath + " is now";
    } else if (!options.recordPath.empty()) {
        recorder = std::make_unique<RecordingWriter>(options.recordPath, scenePath, digest, settings.motion());
        if (!recorder->good()) problem = "cannot record to " + options.recordPath + ": " + std::strerror(errno);
    }
    if (problem.empty()) {
        PlayResult const played = play(world, player,
                                       {.scenePath = scenePath,
                                        .recorder = recorder.get(),
                                        .replay = recording ? &*recording : nullptr,
                                        .models = &models,
                                        .settings = &settings,
                                        .loaded = &loaded,
                                        .settingsPath = options.settingsPath,
                                        .afterFrame =
                                            [&](Renderer&) {
                                                reportFrame(player->position);
                                                fitCanvasToPage();
                                            },
                                        .loadingScreen = &loadingScreen});
        if (recording) {
            std::printf("Replay of %s: %d frames; the player ends at (%.9g, %.9g, %.9g); path digest %016llx\n",
                        replayName.c_str(), played.frames, played.position.x, played.position.y, played.position.z,
                        static_cast<unsigned long long>(played.pathDigest));
        }
        if (recorder) std::printf("Recorded %d frames to %s\n", recorder->frames, options.recordPath.c_str());
    }

    raylib::CloseWindow();
    return problem.empty() ? EXIT_SUCCESS : failure(problem);
}

int gameMain(int argc, char** argv) {
    GameOptions options;
    bool verbose = false;
    CLI::App app("Tessarine: a first-person walk through a world of voxels.", "tessarine");
    auto* scene =
        app.add_option("SCENE", options.scenePath, "the scene file to play (default " + options.scenePath + ")");
    auto* record = app.add_option("--record", options.recordPath, "record the play to FILE")->type_name("FILE");
    app.add_option("--replay", options.replayPath, "play a recording, on the scene it was made on")
        ->type_name("FILE")
        ->excludes(record)
        ->excludes(scene);
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
    // A setting given on the command line is meant for this run: one that
    // cannot be used is refused, not played past.
    Settings scratch;
    for (std::string const& set : options.sets) {
        if (std::string const problem = setFromText(scratch, set); !problem.empty()) {
            std::cerr << "tessarine: " << problem << " (tessarine --help says more)" << std::endl;
            return 2;
        }
    }
    routeRaylibLog(verbose);
    // Paths on the command line are the starting folder's; assets are read
    // from the folder that has them, which may be the installed one.
    options.replayName = options.replayPath;
    for (std::string* path : {&options.scenePath, &options.recordPath, &options.replayPath, &options.settingsPath}) {
        if (!path->empty() && *path != SCENE_PATH) *path = std::filesystem::absolute(*path).string();
    }
    std::filesystem::path const assets = assetFolder();
    std::error_code error;
    if (assets.empty()) return failure("cannot find its assets: neither ./assets nor ../share/tessarine beside it");
    std::filesystem::current_path(assets, error);
    if (options.replayPath.empty()) {
        if (std::string const problem = sceneFileProblem(options.scenePath); !problem.empty()) return failure(problem);
    }
    return runGame(options);
}
