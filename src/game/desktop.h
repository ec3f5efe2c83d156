#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "controller.h"
#include "raylib-api.h"

// The one id of the game on a desktop: its menu entry, its metadata, its
// icon and its window's class.
inline constexpr char const* APPLICATION_ID = "org.tessarine.Tessarine";
// The icon of the menu entry, and of the window.
inline constexpr char const* ICON_PATH = "assets/icons/org.tessarine.Tessarine.png";

// The folder that holds the game's assets/: the working directory when it
// has one, else the assets installed beside the program, ../share/tessarine
// from the program's own folder (so an installed tree can be moved), else
// the project folder a program of the build tree was built from. Empty when
// none has them.
std::filesystem::path assetFolder();

// The user's pictures folder: XDG_PICTURES_DIR, from the environment or from
// the user's user-dirs.dirs, when it exists; else the home folder.
std::filesystem::path picturesFolder();

// A name for a screenshot taken at that time in the folder, used by no file
// yet: tessarine-YYYY-MM-DD-HH-MM-SS.png, with -2, -3... added when needed.
std::filesystem::path screenshotPath(std::filesystem::path const& folder, std::time_t now);

// Sets the class of the game's window (WM_CLASS) to APPLICATION_ID, so that
// desktops match the window with its menu entry. Call it while the window
// is still hidden.
void setWindowClass();

// Gives the window the menu entry's icon (_NET_WM_ICON), from the assets.
void setWindowIcon();

// What the game does as a desktop window, besides the play: its
// fullscreen key (F11) switches fullscreen on and off; the mouse is released
// when the window loses focus and caught again by a click in it; its
// screenshot key (F12) saves a screenshot. Each is logged.
class DesktopWindow {
public:
    // Once a frame, with the keys pressed since the last one: the mouse's
    // movement that the frame may use; none while the mouse is free, nor as
    // it is caught again, so that the view does not jump.
    raylib::Vector2 update(std::vector<int> const& keys, KeyBindings const& bindings = DEFAULT_KEYS);
    // The mouse let go, for a screen that is worked with the pointer, and
    // caught again.
    void releaseMouse();
    void catchMouse();
    // Once the frame is drawn, before it is shown: the screenshot, if asked.
    // Returns what was done, for a notice: where the screenshot went, or
    // that it could not be saved; empty when nothing was asked.
    std::string afterDrawing();

private:
    bool captured = true;
    int framesToIgnore = 0;
    bool screenshotAsked = false;
};
