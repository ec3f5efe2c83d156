#include "desktop-window.h"

#include <ctime>
#include <iostream>

#include "browser-page.h"
#include "pictures-folder.h"
#include "screen-capture.h"

namespace fs = std::filesystem;

namespace {

// Frames whose mouse movement is left out after the mouse is caught: the
// pointer is moved to the window's centre, and that is no movement of the player's.
constexpr int FRAMES_AFTER_CATCH = 2;

}  // namespace

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
