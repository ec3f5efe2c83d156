#include "scene-tool.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "asset-folder.h"
#include "log-capture.h"
#include "player.h"
#include "raylib-log.h"
#include "scene-loader.h"
#include "scene-picture.h"
#include "scene-stats.h"
#include "settings.h"
#include "web-folder.h"

namespace fs = std::filesystem;

namespace {

// Set while the program runs again under xvfb-run, so that it does not try twice.
char const* const IN_VIRTUAL_DISPLAY = "TESSARINE_SCENE_VIRTUAL_DISPLAY";
constexpr int SMALLEST_SIDE = 16, LARGEST_SIDE = 16384;

// Says on standard error what went wrong, in one line, and gives the status.
int failure(std::string const& what, int status = 1) {
    std::cerr << "tessarine-scene: " << what << std::endl;
    return status;
}

// Each file is named as given and opened where it was when the program started.
int check(std::vector<std::string> const& files, std::vector<std::string> const& openAt, std::string const& root) {
    bool errors = false;
    for (size_t i = 0; i < files.size(); ++i) {
        LogCapture quiet;
        SceneLoad const load = loadWorld(openAt[i], std::make_shared<Player>(), {.assetRoot = root});
        for (Problem const& problem : load.problems) std::cout << describeWithLine(problem);
        errors |= load.hasErrors();
    }
    std::cout.flush();
    return errors ? 1 : 0;
}

// The scene is checked first: a scene with a problem gives no folder.
int web(std::string const& path, std::string const& openAt, fs::path const& assets, fs::path const& output) {
    fs::path const build = webBuildFolder(assets);
    if (build.empty()) {
        return failure("there is no web build beside the game's assets in " + assets.string() +
                       " (build/web, or web/ where installed): scripts/build-web in the project's folder makes it");
    }
    if (check({path}, {openAt}, assetRootOf(assets)) != 0) return 1;
    std::string const problem = writeWebFolder(build, openAt, output);
    if (!problem.empty()) return failure(problem);
    std::cout << "The scene plays in a browser from " << output.string()
              << ": serve that folder (python3 -m http.server) and open the page" << std::endl;
    return 0;
}

int stats(std::string const& path, std::string const& openAt, std::string const& root) {
    SceneStats const measured = measureScene(openAt, root);
    bool errors = false;
    for (Problem const& problem : measured.problems) {
        bool const warning = problem.severity == Severity::WARNING;
        (warning ? std::cerr : std::cout) << describeWithLine(problem);
        errors |= !warning;
    }
    if (errors) return 1;
    printStats(std::cout, path, measured);
    return 0;
}

// Without a display, runs this program again on a virtual one, from the
// same folder and with the same arguments; returns only when that cannot be
// done.
int drawOnVirtualDisplay(PictureRequest const& request, char** argv) {
    if (std::getenv(IN_VIRTUAL_DISPLAY) == nullptr && system("command -v xvfb-run >/dev/null 2>&1") == 0) {
        setenv(IN_VIRTUAL_DISPLAY, "1", 1);
        std::string const screen =
            "-noreset -screen 0 " + std::to_string(request.width) + "x" + std::to_string(request.height) + "x24";
        std::error_code unknown;
        std::string const self = fs::read_symlink("/proc/self/exe", unknown).string();
        std::vector<char*> command = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"), const_cast<char*>("-s"),
                                      const_cast<char*>(screen.c_str()), const_cast<char*>(self.c_str())};
        for (char** arg = argv + 1; *arg != nullptr; ++arg) command.push_back(*arg);
        command.push_back(nullptr);
        execvp("xvfb-run", command.data());
    }
    return failure(
        "render needs an X display: none is set and xvfb-run cannot be started; install the xvfb package, or run it "
        "on an X11 desktop");
}

// What is wrong with a picture's size, written WxH; empty when it will do.
std::string sizeProblem(std::string const& text, int& width, int& height) {
    char extra;  // anything after the last field, which must be nothing
    if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &extra) != 2) {
        return "--size: expected WxH, such as 800x450, not " + printable(text);
    }
    for (int const side : {width, height}) {
        if (side < SMALLEST_SIDE || side > LARGEST_SIDE) {
            return "--size " + text + " is out of range: each side is " + std::to_string(SMALLEST_SIDE) + " to " +
                   std::to_string(LARGEST_SIDE) + " pixels";
        }
    }
    return "";
}

// What keeps the picture from being written at path; empty when it can be.
std::string outputProblem(fs::path const& path) {
    std::string extension = path.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension != ".png") return "-o " + path.string() + ": the picture is a PNG file; name it .png";
    std::error_code error;
    fs::path const folder = fs::absolute(path, error).parent_path();
    if (!fs::is_directory(folder, error)) return "-o " + path.string() + ": there is no folder " + folder.string();
    if (fs::is_directory(path, error)) return "-o " + path.string() + " is a folder";
    if (access(folder.c_str(), W_OK) != 0)
        return "-o " + path.string() + ": the folder " + folder.string() + " cannot be written";
    return "";
}

std::string written(raylib::Vector3 v) {
    return raylib::TextFormat("%g,%g,%g", v.x, v.y, v.z);
}

std::function<std::string(std::string&)> vectorInto(std::optional<raylib::Vector3>& into) {
    return [&into](std::string& text) -> std::string {
        raylib::Vector3 v;
        char extra;  // anything after the last field, which must be nothing
        if (std::sscanf(text.c_str(), "%f,%f,%f%c", &v.x, &v.y, &v.z, &extra) != 3) return "expected X,Y,Z";
        into = v;
        return "";
    };
}

// What the command line asks for.
struct Request {
    bool verbose = false;
    std::vector<std::string> files;
    std::string statsFile;
    PictureRequest picture;
    std::string size = "800x450";
    std::string webScene, webOutput;
    CLI::App *check = nullptr, *stats = nullptr, *render = nullptr, *web = nullptr;
};

void addCommands(CLI::App& app, Request& request) {
    app.add_flag("--verbose", request.verbose, "show the graphics library's log too");
    request.check = app.add_subcommand("check",
                                       "Lists every problem of each scene file as FILE:LINE:COLUMN: error: "
                                       "message, with its line; exits 1 when there is any");
    request.check->add_option("FILE", request.files, "scene files")->required();
    request.stats = app.add_subcommand("stats",
                                       "Gives the entities by kind, the voxels, the bounds of the world, "
                                       "the load time and a digest of every entity");
    request.stats->add_option("FILE", request.statsFile, "a scene file")->required();
    PictureRequest& picture = request.picture;
    CLI::App* render = request.render = app.add_subcommand("render",
                                                           "Writes one frame as the game draws it, from the start by "
                                                           "default; without a display, on a virtual one (Xvfb)");
    render->add_option("FILE", picture.scenePath, "a scene file")->required();
    render->add_option("-o,--output", picture.outputPath, "the PNG file to write")->required();
    render->add_option("--size", request.size, "the picture's size, WxH")->capture_default_str();
    render->add_option("--eye")
        ->description("where the camera stands, X,Y,Z (default the scene's start, else " + written(START_POSITION) +
                      ")")
        ->check(CLI::Validator(vectorInto(picture.eye), "X,Y,Z"));
    render->add_option("--look")
        ->description("the point it looks at, X,Y,Z (default the scene's start, else " + written(START_TARGET) + ")")
        ->check(CLI::Validator(vectorInto(picture.look), "X,Y,Z"));
    render->add_flag("--info", picture.info, "show the information box");
    std::map<std::string, bool> looks;
    for (int i = 0; i < static_cast<int>(std::size(LOOKS_NAMES)); ++i) looks[LOOKS_NAMES[i]] = i == LOOKS_RICH;
    render->add_option("--looks", picture.richLooks, "plain (the default) or rich: the game's display.looks")
        ->transform(CLI::CheckedTransformer(looks));
    render->add_flag("--no-shadows{false}", picture.shadows, "in the rich looks, no shadows: display.shadows = false");
    request.web = app.add_subcommand("web",
                                     "Writes a folder with the game as a web page playing the scene, "
                                     "with its models, ready for any static web server");
    request.web->add_option("FILE", request.webScene, "a scene file")->required();
    request.web->add_option("-o,--output", request.webOutput, "the folder to write")->required();
}

// What is wrong with a request the parser took; empty when nothing is.
std::string requestProblem(Request& request) {
    PictureRequest& picture = request.picture;
    std::string problem;
    if (request.render->parsed()) {
        problem = sizeProblem(request.size, picture.width, picture.height);
        if (problem.empty()) problem = outputProblem(picture.outputPath);
        if (problem.empty() &&
            raylib::Vector3Equals(picture.eye.value_or(START_POSITION), picture.look.value_or(START_TARGET))) {
            problem = "--eye and --look are the same point: the camera needs a direction to look in";
        }
    }
    if (problem.empty() && request.web->parsed()) problem = webOutputProblem(request.webOutput);
    return problem;
}

// Files named on the command line are the starting folder's; models,
// shaders and the cursor are read from the folder that holds assets/,
// which may be the installed one.
int carryOut(Request& request, fs::path const& assets) {
    std::string const root = assetRootOf(assets);
    std::vector<std::string> openAt;
    for (std::string const& file : request.files) openAt.push_back(fs::absolute(file).string());
    for (std::string* path : {&request.picture.scenePath, &request.picture.outputPath, &request.webOutput}) {
        if (!path->empty()) *path = fs::absolute(*path).string();
    }
    request.picture.assetRoot = root;
    if (request.check->parsed()) return check(request.files, openAt, root);
    if (request.stats->parsed()) return stats(request.statsFile, fs::absolute(request.statsFile).string(), root);
    if (request.web->parsed()) {
        return web(request.webScene, fs::absolute(request.webScene).string(), assets, request.webOutput);
    }
    return drawScenePicture(request.picture);
}

}  // namespace

int runSceneTool(int argc, char** argv) {
    CLI::App app("Checks, measures and draws Tessarine scene files.", "tessarine-scene");
    app.require_subcommand(1);
    app.fallthrough();
    Request request;
    addCommands(app, request);
    try {
        app.parse(argc, argv);
    } catch (CLI::CallForHelp const& e) {
        return app.exit(e);
    } catch (CLI::ParseError const& e) {
        return failure(std::string(e.what()) + " (tessarine-scene --help says more)", 2);
    }
    if (std::string const problem = requestProblem(request); !problem.empty()) return failure(problem, 2);
    routeRaylibLog(request.verbose);
    char const* const display = std::getenv("DISPLAY");
    if (request.render->parsed() && (display == nullptr || *display == '\0')) {
        return drawOnVirtualDisplay(request.picture, argv);
    }
    fs::path const assets = assetFolder();
    if (assets.empty()) {
        return failure("cannot find the game's assets: neither ./assets nor ../share/tessarine beside it");
    }
    return carryOut(request, assets);
}
