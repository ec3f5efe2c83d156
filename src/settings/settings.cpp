#include "settings.h"

#include <map>

#include "raylib-api.h"

namespace {

std::string keysText(std::array<int, 2> const& keys, ValueStyle style, int chosenKey) {
    std::string text;
    for (int k = 0; k < 2; ++k) {
        std::string const name = keyName(keys[k]);
        if (style == ValueStyle::IN_FILE) {
            if (keys[k] != 0) text += std::string(text.empty() ? "" : ", ") + "\"" + name + "\"";
        } else {
            std::string const shown = keys[k] == 0 ? "-" : name;
            text += (k ? "  " : "") + (k == chosenKey ? "[" + shown + "]" : shown);
        }
    }
    return style == ValueStyle::IN_FILE ? "[" + text + "]" : text;
}

}  // namespace

std::string valueText(SettingInfo const& info, Settings const& settings, ValueStyle style, int chosenKey) {
    bool const inFile = style == ValueStyle::IN_FILE;
    switch (info.kind) {
        case SettingInfo::NUMBER: return raylib::TextFormat("%g", static_cast<double>(settings.*info.number));
        case SettingInfo::WHOLE: return std::to_string(settings.*info.whole);
        case SettingInfo::SWITCH: return settings.*info.flag ? (inFile ? "true" : "on") : (inFile ? "false" : "off");
        case SettingInfo::SCALE:
            if (settings.renderScale == 0) return inFile ? "\"auto\"" : "auto";
            return std::to_string(settings.renderScale) + (inFile ? "" : " %");
        case SettingInfo::CHOICE: {
            std::string const name = info.choices[settings.*info.whole];
            return inFile ? "\"" + name + "\"" : name;
        }
        case SettingInfo::KEYS: break;
    }
    return keysText(settings.keys[info.action], style, chosenKey);
}

namespace {

// The rows of the table of settings, by kind.
using S = Settings;

SettingInfo number(char const* key, char const* comment, float min, float max, float step, float S::*field) {
    return SettingInfo{key, comment, SettingInfo::NUMBER, min, max, step, field};
}

SettingInfo whole(char const* key, char const* comment, SettingInfo::Kind kind, float min, float max, float step,
                  int S::*field) {
    return SettingInfo{key, comment, kind, min, max, step, nullptr, field};
}

SettingInfo flag(char const* key, char const* comment, bool S::*field) {
    return SettingInfo{key, comment, SettingInfo::SWITCH, 0, 1, 1, nullptr, nullptr, field};
}

SettingInfo choice(char const* key, char const* comment, std::span<char const* const> names, int S::*field) {
    return SettingInfo{key, comment, SettingInfo::CHOICE, 0, 0, 1, nullptr, field, nullptr, ACTION_COUNT, names};
}

SettingInfo keys(char const* key, char const* comment, Action action) {
    return SettingInfo{key, comment, SettingInfo::KEYS, 0, 0, 0, nullptr, nullptr, nullptr, action};
}

}  // namespace

std::vector<SettingInfo> const& settingInfos() {
    static std::vector<SettingInfo> const infos = {
        number("look.mouse_sensitivity", "degrees the view turns for a pixel of mouse motion", 0.005f, 1, 0.005f,
               &S::mouseSensitivity),
        flag("look.invert", "true: moving the mouse up looks down", &S::invertLook),
        number("look.field_of_view", "the view's height, in degrees", 30, 120, 1, &S::fieldOfView),
        flag("move.slide_along_walls", "true: walking at an angle into a wall slides along it", &S::slideAlongWalls),
        number("move.fly_speed", "units a second the free camera flies", 1, 100, 1, &S::flySpeed),
        flag("move.jump", "true: the up key (keys.up) jumps while walking", &S::jump),
        number("move.jump_height", "units a jump rises", 0.25f, 10, 0.25f, &S::jumpHeight),
        flag("game.free_camera", "true: the free camera's key lifts the player out of walking, to fly", &S::freeCamera),
        flag("game.reload_on_save", "true: saving the scene file or one of its models reloads the scene",
             &S::reloadOnSave),
        number("gamepad.dead_zone", "the part of a stick's push, from 0 to 0.9, that does nothing", 0, 0.9f, 0.05f,
               &S::stickDeadZone),
        number("gamepad.look_speed", "degrees a second the right stick turns the view, pushed fully", 10, 720, 10,
               &S::stickLookSpeed),
        whole("display.render_scale", "percent of the window's size the world is drawn at, 25 to 100, or \"auto\"",
              SettingInfo::SCALE, 25, 100, 5, &S::renderScale),
        whole("display.target_fps", "the frame rate an automatic render scale holds", SettingInfo::WHOLE, 10, 240, 5,
              &S::targetFps),
        flag("display.multisampling",
             "true: smooth edges (4x multisampling) at every render scale; a change may wait for the next start",
             &S::multisampling),
        whole("display.frame_rate_cap", "the most frames a second, 0 for no cap", SettingInfo::WHOLE, 0, 1000, 10,
              &S::frameRateCap),
        flag("display.vertical_sync", "true: frames wait for the screen; applies at the next start", &S::verticalSync),
        flag("display.fullscreen", "true: the game starts in fullscreen", &S::fullscreen),
        flag("display.show_frame_rate", "true: the frame rate is always shown", &S::showFrameRate),
        whole("display.view_distance", "how far the world is drawn, in units; 0 draws all of it", SettingInfo::WHOLE, 0,
              100000, 16, &S::viewDistance),
        choice("display.looks", "\"plain\", or \"rich\": a sky with the sun, its light and the sky's, and fog",
               LOOKS_NAMES, &S::looks),
        flag("display.shadows", "true: in the rich looks the sun casts shadows", &S::shadows),
        keys("keys.forward", "one or two keys that walk forward", MOVE_FORWARD),
        keys("keys.back", "walk back", MOVE_BACK),
        keys("keys.left", "step left", MOVE_LEFT),
        keys("keys.right", "step right", MOVE_RIGHT),
        keys("keys.reset", "back to the start, while held", RESET),
        keys("keys.information", "the information box, while held", SHOW_INFO),
        keys("keys.reload", "read the scene file again", RELOAD),
        keys("keys.fullscreen", "fullscreen, and back", FULLSCREEN),
        keys("keys.screenshot", "save a screenshot", SCREENSHOT),
        keys("keys.settings", "open the settings screen", OPEN_SETTINGS),
        keys("keys.fly", "fly freely (the free camera), and land where the camera is", FLY),
        keys("keys.up", "fly up; with move.jump, jump while walking", FLY_UP),
        keys("keys.down", "fly down", FLY_DOWN),
        keys("keys.chat", "on a server, type a line to the others (Enter sends it)", CHAT),
        keys("keys.players", "on a server, the players' list, while held", LIST_PLAYERS),
    };
    return infos;
}

SettingInfo const* findSetting(std::string const& key) {
    for (SettingInfo const& info : settingInfos()) {
        if (key == info.key) return &info;
    }
    return nullptr;
}

namespace {

// Every key with a name: letters, digits, F1 to F12 and the keypad's digits
// by rule, the others as listed.
std::map<int, std::string> const& keyNames() {
    static std::map<int, std::string> const names = [] {
        std::map<int, std::string> named = {
            {raylib::KEY_SPACE, "Space"},
            {raylib::KEY_APOSTROPHE, "Apostrophe"},
            {raylib::KEY_COMMA, "Comma"},
            {raylib::KEY_MINUS, "Minus"},
            {raylib::KEY_PERIOD, "Period"},
            {raylib::KEY_SLASH, "Slash"},
            {raylib::KEY_SEMICOLON, "Semicolon"},
            {raylib::KEY_EQUAL, "Equal"},
            {raylib::KEY_LEFT_BRACKET, "LeftBracket"},
            {raylib::KEY_BACKSLASH, "Backslash"},
            {raylib::KEY_RIGHT_BRACKET, "RightBracket"},
            {raylib::KEY_GRAVE, "Grave"},
            {raylib::KEY_ENTER, "Enter"},
            {raylib::KEY_TAB, "Tab"},
            {raylib::KEY_BACKSPACE, "Backspace"},
            {raylib::KEY_INSERT, "Insert"},
            {raylib::KEY_DELETE, "Delete"},
            {raylib::KEY_RIGHT, "Right"},
            {raylib::KEY_LEFT, "Left"},
            {raylib::KEY_DOWN, "Down"},
            {raylib::KEY_UP, "Up"},
            {raylib::KEY_PAGE_UP, "PageUp"},
            {raylib::KEY_PAGE_DOWN, "PageDown"},
            {raylib::KEY_HOME, "Home"},
            {raylib::KEY_END, "End"},
            {raylib::KEY_LEFT_SHIFT, "LeftShift"},
            {raylib::KEY_LEFT_CONTROL, "LeftControl"},
            {raylib::KEY_LEFT_ALT, "LeftAlt"},
            {raylib::KEY_RIGHT_SHIFT, "RightShift"},
            {raylib::KEY_RIGHT_CONTROL, "RightControl"},
            {raylib::KEY_RIGHT_ALT, "RightAlt"},
            {raylib::KEY_KP_ENTER, "KeypadEnter"},
        };
        for (int c = 'A'; c <= 'Z'; ++c) named[c] = std::string(1, static_cast<char>(c));
        for (int c = '0'; c <= '9'; ++c) named[c] = std::string(1, static_cast<char>(c));
        for (int f = 1; f <= 12; ++f) named[raylib::KEY_F1 + f - 1] = "F" + std::to_string(f);
        for (int d = 0; d <= 9; ++d) named[raylib::KEY_KP_0 + d] = "Keypad" + std::to_string(d);
        return named;
    }();
    return names;
}

}  // namespace

std::string keyName(int key) {
    auto const found = keyNames().find(key);
    return found == keyNames().end() ? "" : found->second;
}

int keyOfName(std::string const& name) {
    for (auto const& [key, keyName] : keyNames()) {
        if (keyName == name) return key;
    }
    return 0;
}
