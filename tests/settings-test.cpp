// The settings file: read with a warning for every value it cannot use,
// written with a comment for every key, saved without ever losing the old.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "settings-file.h"
#include "settings-screen.h"

namespace {

// Warnings as the game writes them.
std::vector<std::string> described(std::vector<Problem> const& warnings) {
    std::vector<std::string> lines;
    for (Problem const& warning : warnings) lines.push_back(describeProblem(warning));
    return lines;
}

namespace fs = std::filesystem;

TEST(SettingsFile, ReadsWhatItCanAndSaysWhatItCannot) {
    std::string const text =
        "look.mouse_sensitivity = 0.1\n"
        "look.invert = true\n"
        "look.field_of_view = 200\n"
        "move = 3\n"
        "\"odd key\" = 'x'\n"
        "[display]\n"
        "render_scale = \"auto\"\n"
        "frame_rate_cap = 30.5\n"
        "vertical_sync = 1\n"
        "shiny-look_2 = [1, \"two\"]\n"
        "looks = \"shiny\"\n"

        "[keys]\n"
        "forward = [\"I\", \"Keypad0\"]\n"
        "back = [\"Nowhere\"]\n"
        "left = \"A\"\n"
        "[gamepad]\n"
        "dead_zone = 0.35\n"
        "look_speed = \"fast\"\n";
    SettingsRead const read = readSettings(text, "s.toml");
    Settings expected;
    expected.mouseSensitivity = 0.1f;
    expected.invertLook = true;
    expected.renderScale = 0;
    expected.keys[MOVE_FORWARD] = {'I', 320};
    expected.stickDeadZone = 0.35f;
    EXPECT_EQ(read.settings, expected);
    EXPECT_EQ(
        described(read.warnings),
        (std::vector<std::string>{
            "s.toml:3:22: warning: look.field_of_view: 200 is out of range (30 to 120); using 65",
            "s.toml:4:8: warning: move: no such setting, and in the way of one; it is dropped when saving",
            "s.toml:5:13: warning: odd key: no such setting; it is kept as it is",
            "s.toml:8:18: warning: display.frame_rate_cap: a whole number from 0 to 1000 is expected; using 60",
            "s.toml:9:17: warning: display.vertical_sync: true or false is expected; using true",
            "s.toml:10:16: warning: display.shiny-look_2: no such setting; it is kept as it is",
            "s.toml:11:9: warning: display.looks: \"plain\" or \"rich\" is expected; using \"plain\"",
            "s.toml:14:8: warning: keys.back: \"Nowhere\" is no key's name; using [\"S\", \"Down\"]",
            "s.toml:15:8: warning: keys.left: a list of one or two key names is expected; using [\"A\", \"Left\"]",
            "s.toml:18:14: warning: gamepad.look_speed: a number from 10 to 720 is expected; using 180",
        }));
    EXPECT_EQ(read.unknown, "\"odd key\" = 'x'\ndisplay.shiny-look_2 = [ 1, 'two' ]\n");
    EXPECT_FALSE(read.unreadable);
}

// What the settings screen writes reads back the same, with a comment
// above every key, and the keys it did not know kept.
TEST(SettingsFile, WrittenWithACommentForEveryKeyAndReadBack) {
    Settings changed;
    changed.fieldOfView = 80;
    changed.renderScale = 0;
    changed.keys[OPEN_SETTINGS] = {'O', 0};
    changed.slideAlongWalls = true;
    changed.looks = LOOKS_RICH;
    std::string const text = settingsText(changed, "display.shiny = [ 1, 'two' ]\n");
    for (SettingInfo const& info : settingInfos()) {
        EXPECT_NE(text.find("# " + std::string(info.comment) + "\n" + info.key + " = "), std::string::npos) << info.key;
    }
    SettingsRead const read = readSettings(text, "s.toml");
    EXPECT_EQ(read.settings, changed);
    EXPECT_EQ(read.unknown, "display.shiny = [ 1, 'two' ]\n");
    EXPECT_EQ(read.warnings.size(), 1u);
    EXPECT_EQ(readSettings(settingsText({}, ""), "s.toml").warnings.size(), 0u);

    // A file that is no TOML gives every default, and says where it breaks.
    SettingsRead const broken = readSettings("look.invert = true\nlook.field_of_view = = 3\n", "b.toml");
    EXPECT_EQ(broken.settings, Settings{});
    EXPECT_TRUE(broken.unreadable);
    ASSERT_EQ(broken.warnings.size(), 1u);
    std::string const said = describeProblem(broken.warnings[0]);
    EXPECT_EQ(said.rfind("b.toml:2:22: warning: not a TOML file: ", 0), 0u) << said;

    // Nor is a text with a character that is not ASCII (toml++ 3.3 would run
    // into undefined behaviour on many).
    EXPECT_EQ(described(readSettings("# e\nodd = 'é'\n", "u.toml").warnings),
              std::vector<std::string>{
                  "u.toml:2:8: warning: not a TOML file: a character that is not ASCII (the file is plain "
                  "ASCII); using every default"});

    // One setting for one run, written as in the file.
    Settings set;
    EXPECT_EQ(setFromText(set, "look.field_of_view = 30"), "") << "the ends of a range are in it";
    EXPECT_EQ(setFromText(set, "look.field_of_view = 90"), "");
    EXPECT_EQ(setFromText(set, "keys.reset=[\"F\"]"), "");
    for (auto const& [assignment, why] : {
             std::pair{"look.field_of_view=900", "900 is out of range (30 to 120)"},
             {"display.target_fps=5", "5 is out of range (10 to 240)"},
             {"look.zoom=2", "no such setting"},
             {"look.field_of_view", "expected KEY=VALUE"},
             {"look.invert=true\nlook.field_of_view=30", "expected one KEY=VALUE"},
             {"look.field_of_view=\xc3\xa9", "a character that is not ASCII"},
         }) {
        EXPECT_EQ(setFromText(set, assignment).rfind("--set " + std::string(assignment) + ": " + why, 0), 0u);
    }
    EXPECT_EQ(std::pair(set.fieldOfView, set.keys[RESET][0]), std::pair(90.0f, int('F')));
}

// Saving replaces the file whole or not at all; a file that could not be
// read is kept beside the new one.
TEST(SettingsFile, SavedWithoutLosingTheOldFile) {
    fs::path const folder = fs::temp_directory_path() / "tessarine-settings-test";
    fs::remove_all(folder);
    std::string const path = (folder / "tessarine/settings.toml").string();
    Settings changed;
    changed.invertLook = true;
    EXPECT_EQ(saveSettings(path, changed, {}), "");
    EXPECT_EQ(saveSettings(path, changed, loadSettings(path)), "");  // over a good file, which is not kept
    EXPECT_FALSE(fs::exists(path + ".bad"));
    EXPECT_EQ(loadSettings(path).settings, changed);
    EXPECT_EQ(loadSettings((folder / "none.toml").string()).warnings.size(), 0u);

    std::ofstream(path) << "not = toml = at all";
    SettingsRead const broken = loadSettings(path);
    EXPECT_EQ(saveSettings(path, changed, broken), "");
    EXPECT_EQ(loadSettings(path).settings, changed);
    std::ifstream kept(path + ".bad");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "not = toml = at all");

    // Where nothing can be written, or a folder stands, the old stays.
    fs::create_directories(folder / "folder.toml/x");
    EXPECT_EQ(saveSettings((folder / "folder.toml").string(), changed, {}).rfind("cannot replace ", 0), 0u);
    EXPECT_TRUE(fs::is_directory(folder / "folder.toml/x"));
    EXPECT_EQ(saveSettings(path + "/under-a-file.toml", changed, {}).rfind("cannot write ", 0), 0u);
    fs::remove_all(folder);
}

// A binding shows both its keys, the chosen one in brackets, a missing one
// as "-" (the other kinds of value are shown as the keys change them, below).
TEST(SettingsScreen, ShowsABindingsChosenKey) {
    EXPECT_EQ(valueText(*findSetting("keys.forward"), Settings{}, ValueStyle::ON_SCREEN, 1), "W  [Up]");
    EXPECT_EQ(valueText(*findSetting("keys.reset"), Settings{}, ValueStyle::ON_SCREEN, 0), "[R]  -");
}

TEST(SettingsScreen, FitsEveryWindowWithTextThatGrowsWithIt) {
    int const rows = static_cast<int>(settingInfos().size()) + 2;
    int previousFont = 0;
    for (auto const& [width, height] : std::vector<std::pair<int, int>>{{640, 360}, {1920, 1080}, {3840, 2160}}) {
        SettingsLayout const layout = settingsLayout(width, height, rows);
        EXPECT_GT(layout.fontSize, previousFont) << width;
        EXPECT_GE(layout.x, 10) << width;
        EXPECT_LE(layout.x + layout.width, width - 10) << width;
        // Save and Close, and the help line under them, on the window.
        EXPECT_LE(layout.footerY + 3 * layout.rowHeight + layout.rowHeight / 4, height) << width;
        EXPECT_GE(layout.footerY, layout.y + layout.visibleRows * layout.rowHeight);
        previousFont = layout.fontSize;
        // The value stands from 60 % of the width, its middle at 80 %.
        auto const at = [&](float part) { return valueStepAt(layout.x + layout.width * part, layout); };
        EXPECT_EQ(std::tuple(at(0.3f), at(0.6f), at(0.61f), at(0.9f)), std::tuple(0, 0, -1, 1)) << width;
        // Rows from the top of the list, scrolled by 3; none above it or past
        // it; Save and Close below it, whatever its scroll.
        float const top = static_cast<float>(layout.y), step = static_cast<float>(layout.rowHeight);
        float const footer = static_cast<float>(layout.footerY);
        auto const rowAt = [&](float y) { return settingsRowAt(y, layout, 3, rows); };
        EXPECT_EQ(
            std::tuple(rowAt(top - 1), rowAt(top), rowAt(top + 2.5f * step), rowAt(top + layout.visibleRows * step),
                       rowAt(footer), rowAt(footer + 1.5f * step), rowAt(footer + 2 * step)),
            std::tuple(-1, 3, 5, -1, rows - 2, rows - 1, -1))
            << width;
    }
}

// Worked by keys alone (no window: the mouse and gamepad stay still): Down
// and Up choose a row; Left and Right step a value within its range, and
// below the smallest render scale lies "auto"; Enter flips a switch or takes
// the next key for a binding's chosen slot; Delete clears it.
TEST(SettingsScreen, KeysChooseAndChangeEveryKindOfSetting) {
    struct Case {
        char const* setting;
        int key, times;
        std::vector<int> then;
        char const* shown;
    };
    Case const cases[] = {
        {"look.mouse_sensitivity", raylib::KEY_RIGHT, 1, {}, "0.055"},
        {"keys.forward", raylib::KEY_DELETE, 1, {}, "-  Up"},
        {"keys.forward", raylib::KEY_RIGHT, 2, {raylib::KEY_ENTER, raylib::KEY_I}, "W  I"},
        {"display.target_fps", raylib::KEY_RIGHT, 1, {}, "65"},
        {"display.target_fps", raylib::KEY_RIGHT, 40, {}, "240"},
        {"display.frame_rate_cap", raylib::KEY_LEFT, 7, {}, "0"},
        {"display.render_scale", raylib::KEY_LEFT, 1, {}, "95 %"},
        {"display.render_scale", raylib::KEY_LEFT, 16, {}, "auto"},
        {"display.render_scale", raylib::KEY_LEFT, 20, {raylib::KEY_RIGHT}, "25 %"},
        {"display.fullscreen", raylib::KEY_ENTER, 1, {}, "on"},
        {"look.field_of_view", raylib::KEY_ENTER, 1, {}, "66"},
        {"display.looks", raylib::KEY_RIGHT, 1, {}, "rich"},
        {"display.looks", raylib::KEY_LEFT, 3, {}, "rich"},
    };
    for (auto const& c : cases) {
        Settings settings;
        SettingsRead loaded;
        SettingsScreen screen(settings, loaded, "unused.toml");
        SettingInfo const& info = *findSetting(c.setting);
        std::vector<int> keys(&info - settingInfos().data() + 1, raylib::KEY_DOWN);
        keys.push_back(raylib::KEY_UP);
        keys.insert(keys.end(), c.times, c.key);
        keys.insert(keys.end(), c.then.begin(), c.then.end());
        EXPECT_TRUE(screen.update(keys));
        EXPECT_EQ(valueText(info, settings, ValueStyle::ON_SCREEN), c.shown) << c.setting << " " << c.times;
    }
}

}  // namespace
