#pragma once

#include <span>
#include <string>
#include <vector>

#include "controller.h"
#include "recording.h"
#include "start-view.h"

// How the world is lit: as it always was, or rich (a sky, the light of the
// sun and of the sky, and fog).
enum Looks { LOOKS_PLAIN, LOOKS_RICH };
inline constexpr char const* LOOKS_NAMES[] = {"plain", "rich"};

// Everything a player may adjust. The defaults are the game's own values:
// with them it plays as it always has.
struct Settings {
    // Looking: degrees of turn a pixel of mouse motion, the vertical look
    // turned over, and the vertical field of view in degrees.
    float mouseSensitivity = MOUSE_SENSITIVITY;
    bool invertLook = false;
    float fieldOfView = FIELD_OF_VIEW;
    // Moving: when a move into a wall is refused, its two horizontal parts
    // are tried alone, so that an angled walk slides along the wall.
    bool slideAlongWalls = false;
    // The free camera: whether its key lifts the player out of walking (a
    // scene meant to be walked turns it off), and its speed.
    bool freeCamera = true;
    float flySpeed = FLY_SPEED;
    // Jumping with the up key, for scenes built for it, and how high.
    bool jump = false;
    float jumpHeight = JUMP_HEIGHT;
    KeyBindings keys = PLATFORM_KEYS;
    // Whether a save of the scene file, or of a model it reads, reloads the
    // scene by itself, as the reload key does.
    bool reloadOnSave = true;
    // The gamepad's sticks: the part of each axis left out around its
    // middle, and the degrees a second the right stick turns the view at
    // full push.
    float stickDeadZone = 0.2f;
    float stickLookSpeed = STICK_LOOK_SPEED;
    // Drawing: the percentage of the window's width and height the 3D view
    // is drawn at (0 for automatic, holding targetFps), multisampling, the
    // frame-rate cap (0 for none), vertical sync, fullscreen at the start,
    // the frame rate always shown, and how far the world is drawn (0 for
    // all of it).
    int renderScale = 100;
    int targetFps = 60;
    bool multisampling = true;
    int frameRateCap = 60;
    bool verticalSync = true;
    bool fullscreen = false;
    bool showFrameRate = false;
    int viewDistance = 0;
    // The looks, and whether the sun casts shadows in the rich ones.
    int looks = LOOKS_PLAIN;
    bool shadows = true;

    bool operator==(Settings const&) const = default;

    // What of them turns input into motion.
    Motion motion() const {
        return {mouseSensitivity, invertLook, stickLookSpeed, slideAlongWalls, freeCamera, flySpeed, jump, jumpHeight};
    }
};

// A setting as the file names it ("look.mouse_sensitivity"), what it is
// for, and how it is read and written.
struct SettingInfo {
    char const* key;
    char const* comment;
    enum Kind { NUMBER, WHOLE, SWITCH, SCALE, KEYS, CHOICE } kind;
    // The range of a number, and the step the settings screen changes it by.
    float min, max, step;
    // The member it is kept in: one of these, by kind.
    float Settings::*number = nullptr;
    int Settings::*whole = nullptr;
    bool Settings::*flag = nullptr;
    Action action = ACTION_COUNT;
    // A choice's names, by the number kept in whole.
    std::span<char const* const> choices{};
};

// How a value is written: as the settings file writes it ("true", "\"auto\"",
// ["W", "Up"]), or as the settings screen shows it ("on", "auto", W  Up).
enum class ValueStyle { IN_FILE, ON_SCREEN };
// A setting's value in that style; on the screen the key of a binding in
// slot chosenKey (0 or 1; -1 for neither) is in brackets.
std::string valueText(SettingInfo const& info, Settings const& settings, ValueStyle style, int chosenKey = -1);

// Every setting, in the order of the file and of the settings screen.
std::vector<SettingInfo> const& settingInfos();
SettingInfo const* findSetting(std::string const& key);

// A key's name as the file writes it ("W", "Up", "F5"), and the key of a
// name; 0 for a name that is no key's.
std::string keyName(int key);
int keyOfName(std::string const& name);
