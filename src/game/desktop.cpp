#include "desktop.h"

#include "browser-page.h"
#include "screen-capture.h"

#include <cstdlib>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;

namespace {

// Frames whose mouse movement is left out after the mouse is caught: the
// pointer is moved to the window's centre, and that is no movement of the player's.
constexpr int FRAMES_AFTER_CATCH = 2;

std::string environment(char const* name) {
    char const* value = std::getenv(name);
    return value ? value : "";
}

// XDG_PICTURES_DIR as user-dirs.dirs sets it: XDG_PICTURES_DIR="$HOME/Pictures".
std::string picturesInUserDirs(std::string const& home) {
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty()) config = home + "/.config";
    std::ifstream dirs(config + "/user-dirs.dirs");
    for (std::string line; std::getline(dirs, line);) {
        std::string const key = "XDG_PICTURES_DIR=\"";
        if (line.rfind(key, 0) != 0 || line.back() != '"') continue;
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
        return value;
    }
    return "";
}

}  // namespace

fs::path assetFolder() {
    std::error_code error;
    if (fs::is_directory("assets", error)) return fs::current_path(error);
    fs::path const program = fs::read_symlink("/proc/self/exe", error);
    fs::path const installed = program.parent_path() / "../share/tessarine";
    if (!error && fs::is_directory(installed / "assets", error)) return fs::canonical(installed, error);
    // The game or its tool where the build tree has them, not a copy
    // installed from it.
    for (fs::path const& built : std::vector<fs::path>{TESSARINE_BUILT_PROGRAMS}) {
        if (fs::equivalent(program, built, error)) return TESSARINE_PROJECT_DIR;
    }
    return {};
}

void setWindowIcon() {
    raylib::Image const icon = raylib::LoadImage(ICON_PATH);
    if (icon.data != nullptr) raylib::SetWindowIcon(icon);
    raylib::UnloadImage(icon);
}

fs::path picturesFolder() {
    std::string const home = environment("HOME");
    std::error_code error;
    for (std::string const& folder : {environment("XDG_PICTURES_DIR"), picturesInUserDirs(home)}) {
        if (!folder.empty() && fs::is_directory(folder, error)) return folder;
    }
    return home.empty() ? fs::current_path(error) : fs::path(home);
}

fs::path screenshotPath(fs::path const& folder, std::time_t now) {
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H-%M-%S", std::localtime(&now));
    std::error_code error;
    fs::path path = folder / (std::string("tessarine-") + stamp + ".png");
    for (int n = 2; fs::exists(path, error); ++n) {
        path = folder / (std::string("tessarine-") + stamp + "-" + std::to_string(n) + ".png");
    }
    return path;
}

void DesktopWindow::releaseMouse() {
    raylib::EnableCursor();
    captured = false;
}

void DesktopWindow::catchMouse() {
    raylib::DisableCursor();
    captured = true;
    framesToIgnore = FRAMES_AFTER_CATCH;
}

raylib::Vector2 DesktopWindow::update(std::vector<int> const& keys, KeyBindings const& bindings) {
    auto const bound = [&](int key, Action action) {
        return key != 0 && (key == bindings[action][0] || key == bindings[action][1]);
    };
    for (int const key : keys) {
        if (bound(key, FULLSCREEN)) {
            raylib::ToggleFullscreen();
            std::clog << "Fullscreen " << (raylib::IsWindowFullscreen() ? "on" : "off") << std::endl;
        }
        screenshotAsked |= bound(key, SCREENSHOT);
    }
    bool const focused = raylib::IsWindowFocused();
    if (captured && !focused) {
        raylib::EnableCursor();
        captured = false;
        std::clog << "Mouse released: the window lost the focus" << std::endl;
    } else if (!captured && focused && raylib::IsMouseButtonPressed(raylib::MOUSE_BUTTON_LEFT)) {
        catchMouse();
        std::clog << "Mouse caught" << std::endl;
    }
    if (!captured || framesToIgnore > 0) {
        framesToIgnore -= framesToIgnore > 0;
        return {0, 0};
    }
    return raylib::GetMouseDelta();
}

std::string DesktopWindow::afterDrawing() {
    if (!screenshotAsked) return "";
    screenshotAsked = false;
    raylib::Image const image = captureScreen();
    fs::path const path = screenshotPath(picturesFolder(), std::time(nullptr));
    bool const saved = raylib::ExportImage(image, path.c_str());
    raylib::UnloadImage(image);
    if (saved) downloadFile(path);
    std::string const news = saved ? (IN_A_BROWSER ? "Screenshot downloaded: " + path.filename().string()
                                                   : "Screenshot saved to " + path.string())
                                   : "Screenshot not saved: " + path.string() + " cannot be written";
    std::clog << news << std::endl;
    return news;
}
