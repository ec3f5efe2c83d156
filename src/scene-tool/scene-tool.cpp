#include "scene-tool.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "desktop.h"
#include "log-capture.h"
#include "player.h"
#include "scene-loader.h"
#include "scene-picture.h"
#include "scene-stats.h"

namespace {

// Set while the program runs again under xvfb-run, so that it does not try twice.
char const* const IN_VIRTUAL_DISPLAY = "TESSARINE_SCENE_VIRTUAL_DISPLAY";

// Each file is named as given and opened where it was when the program started.
int check(std::vector<std::string> const& files, std::vector<std::string> const& openAt) {
    int problems = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        LogCapture quiet;
        SceneLoad load = loadWorld(openAt[i], std::make_shared<Player>());
        load.sourceName = files[i];
        std::cout << load.report();
        problems += static_cast<int>(load.problems.size());
    }
    std::cout.flush();
    return problems == 0 ? 0 : 1;
}

int stats(std::string const& path, std::string const& openAt) {
    SceneStats const measured = measureScene(openAt);
    for (SceneProblem const& problem : measured.problems) std::cout << describeProblem(path, problem) << "\n";
    if (!measured.problems.empty()) return 1;
    printStats(std::cout, path, measured);
    return 0;
}

// Without a display, runs this program again on a virtual one; returns only
// when that cannot be done.
int drawOnVirtualDisplay(PictureRequest const& request, char** argv) {
    if (std::getenv(IN_VIRTUAL_DISPLAY) == nullptr && system("command -v xvfb-run >/dev/null 2>&1") == 0) {
        setenv(IN_VIRTUAL_DISPLAY, "1", 1);
        std::string const screen =
            "-noreset -screen 0 " + std::to_string(request.width) + "x" + std::to_string(request.height) + "x24";
        std::error_code unknown;
        std::string const self = std::filesystem::read_symlink("/proc/self/exe", unknown).string();
        std::vector<char*> command = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"), const_cast<char*>("-s"),
                                      const_cast<char*>(screen.c_str()), const_cast<char*>(self.c_str())};
        for (char** arg = argv + 1; *arg != nullptr; ++arg) command.push_back(*arg);
        command.push_back(nullptr);
        execvp("xvfb-run", command.data());
    }
    std::cerr << "tessarine-scene: render needs an X display: none is set and xvfb-run cannot be started; "
                 "install the xvfb package, or run it on an X11 desktop"
              << std::endl;
    return 1;
}

// "W x H" and "X,Y,Z" on the command line.
bool readSize(std::string const& text, int& width, int& height) {
    char extra = 0;
    return std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &extra) == 2 && width > 0 && height > 0 &&
           width <= 16384 && height <= 16384;
}

std::string written(raylib::Vector3 v) {
    return raylib::TextFormat("%g,%g,%g", v.x, v.y, v.z);
}

std::function<std::string(std::string&)> vectorInto(raylib::Vector3& v) {
    return [&v](std::string& text) -> std::string {
        char extra = 0;
        if (std::sscanf(text.c_str(), "%f,%f,%f%c", &v.x, &v.y, &v.z, &extra) != 3) return "expected X,Y,Z";
        return "";
    };
}

}  // namespace

int runSceneTool(int argc, char** argv) {
    // The tool says itself what is wrong with a scene.
    raylib::SetTraceLogLevel(raylib::LOG_ERROR);
    CLI::App app("Checks, measures and draws Tessarine scene files.", "tessarine-scene");
    app.require_subcommand(1);

    std::vector<std::string> files;
    auto* checkCommand = app.add_subcommand("check",
                                            "Lists every problem of each scene file as FILE:LINE:COLUMN: error: "
                                            "message; exits 1 when there is any");
    checkCommand->add_option("FILE", files, "scene files")->required();

    std::string statsFile;
    auto* statsCommand = app.add_subcommand("stats",
                                            "Gives the entities by kind, the voxels, the bounds of the world, "
                                            "the load time and a digest of every entity");
    statsCommand->add_option("FILE", statsFile, "a scene file")->required();

    PictureRequest picture;
    std::string size = "800x450";
    auto* renderCommand = app.add_subcommand("render",
                                             "Writes one frame as the game draws it, from the start by "
                                             "default; without a display, on a virtual one (Xvfb)");
    renderCommand->add_option("FILE", picture.scenePath, "a scene file")->required();
    renderCommand->add_option("-o,--output", picture.outputPath, "the PNG file to write")->required();
    renderCommand->add_option("--size", size, "the picture's size, WxH")->capture_default_str();
    renderCommand->add_option("--eye")
        ->description("where the camera stands, X,Y,Z (default " + written(picture.eye) + ")")
        ->check(CLI::Validator(vectorInto(picture.eye), "X,Y,Z"));
    renderCommand->add_option("--look")
        ->description("the point it looks at, X,Y,Z (default " + written(picture.look) + ")")
        ->check(CLI::Validator(vectorInto(picture.look), "X,Y,Z"));
    renderCommand->add_flag("--info", picture.info, "show the information box");

    try {
        app.parse(argc, argv);
        if (renderCommand->parsed() && !readSize(size, picture.width, picture.height)) {
            throw CLI::ValidationError("--size", "expected WxH, such as 800x450, not " + size);
        }
    } catch (CLI::CallForHelp const& e) {
        return app.exit(e);
    } catch (CLI::ParseError const& e) {
        CLI::App const* failed = app.get_subcommands().empty() ? &app : app.get_subcommands().front();
        std::cerr << "tessarine-scene: " << e.what() << "\n" << failed->help();
        return 2;
    }
    // Files named on the command line are the starting folder's; models,
    // shaders and the cursor are read from the folder that holds assets/,
    // which may be the installed one.
    std::vector<std::string> openAt;
    for (std::string const& file : files) openAt.push_back(std::filesystem::absolute(file).string());
    std::string const statsAt = statsFile.empty() ? "" : std::filesystem::absolute(statsFile).string();
    for (std::string* path : {&picture.scenePath, &picture.outputPath}) {
        if (!path->empty()) *path = std::filesystem::absolute(*path).string();
    }
    std::error_code error;
    if (std::filesystem::path const assets = assetFolder(); !assets.empty())
        std::filesystem::current_path(assets, error);
    if (checkCommand->parsed()) return check(files, openAt);
    if (statsCommand->parsed()) return stats(statsFile, statsAt);
    if (std::getenv("DISPLAY") == nullptr || *std::getenv("DISPLAY") == '\0')
        return drawOnVirtualDisplay(picture, argv);
    return drawScenePicture(picture);
}
