#include "settings-screen.h"

#include "browser-page.h"

#include <algorithm>
#include <cmath>

#include "raylib-api.h"
#include "ui-scale.h"

namespace {

constexpr raylib::Color PANEL{20, 24, 32, 230};
constexpr raylib::Color TEXT{230, 230, 230, 255};
constexpr raylib::Color CHOSEN{255, 214, 102, 255};
constexpr raylib::Color DIM{150, 150, 150, 255};
constexpr int GAMEPAD = 0;
// A row's value stands from this fraction of the list's width, its middle
// a fifth further.
constexpr float VALUE_FROM = 0.6f;

}  // namespace

SettingsLayout settingsLayout(int windowWidth, int windowHeight, int rows) {
    float const scale = std::max(1.0f, fitScale(windowWidth, windowHeight));
    int const fontSize = static_cast<int>(12 * scale), rowHeight = static_cast<int>(17 * scale);
    int const width = std::min(windowWidth - 20, static_cast<int>(560 * scale));
    // Besides the list: the title, a gap, Save and Close, and the help line.
    int const room = windowHeight - 6 * rowHeight;
    int const visible = std::clamp(room / rowHeight, 1, rows - 2);
    int const top = 2 * rowHeight - rowHeight / 2;
    return {
        fontSize, rowHeight, (windowWidth - width) / 2, top, width, visible, top + visible * rowHeight + rowHeight / 2};
}

int settingsRowAt(float y, SettingsLayout const& layout, int first, int rows) {
    int const settings = rows - 2;
    int const listed = first + static_cast<int>(std::floor((y - layout.y) / layout.rowHeight));
    if (y >= layout.y && listed < std::min(settings, first + layout.visibleRows)) return listed;
    int const button = settings + static_cast<int>(std::floor((y - layout.footerY) / layout.rowHeight));
    return y >= layout.footerY && button < rows ? button : -1;
}

int valueStepAt(float x, SettingsLayout const& layout) {
    float const fromValue = x - (layout.x + layout.width * VALUE_FROM);
    if (fromValue <= 0) return 0;
    return fromValue < layout.width * 0.2f ? -1 : 1;
}

namespace {

SettingsLayout layoutFor(int rows) {
    return settingsLayout(raylib::GetScreenWidth(), raylib::GetScreenHeight(), rows);
}

// Beside a list longer than the screen, the bar that shows which part of
// it is shown, with an arrow at each end that has more beyond it.
void drawScrollBar(SettingsLayout const& layout, int first, int count) {
    if (layout.visibleRows >= count) return;
    float const x = layout.x + layout.width - layout.rowHeight / 4.0f, top = layout.y,
                height = layout.visibleRows * layout.rowHeight, arrow = layout.rowHeight / 3.0f;
    float const from = top + arrow + (height - 2 * arrow) * first / count,
                to = top + arrow + (height - 2 * arrow) * (first + layout.visibleRows) / count;
    raylib::DrawRectangleRec({x - 2, top + arrow, 4, height - 2 * arrow}, {60, 66, 80, 255});
    raylib::DrawRectangleRec({x - 2, from, 4, to - from}, DIM);
    raylib::Color const above = first > 0 ? CHOSEN : DIM, below = first + layout.visibleRows < count ? CHOSEN : DIM;
    raylib::DrawTriangle({x, top}, {x - arrow, top + arrow}, {x + arrow, top + arrow}, above);
    raylib::DrawTriangle({x - arrow, top + height - arrow}, {x, top + height}, {x + arrow, top + height - arrow},
                         below);
}

// "look.mouse_sensitivity" shown as "look: mouse sensitivity".
std::string labelOf(SettingInfo const& info) {
    std::string label = info.key;
    std::replace(label.begin(), label.end(), '_', ' ');
    size_t const dot = label.find('.');
    return label.substr(0, dot) + ": " + label.substr(dot + 1);
}

}  // namespace

int SettingsScreen::rows() const {
    return static_cast<int>(settingInfos().size()) + 2;  // and Save, Close
}

void SettingsScreen::change(int by) {
    if (row >= static_cast<int>(settingInfos().size())) return;
    SettingInfo const& info = settingInfos()[row];
    switch (info.kind) {
        case SettingInfo::NUMBER: {
            float const value = std::round((settings.*info.number + by * info.step) / info.step) * info.step;
            settings.*info.number = std::clamp(value, info.min, info.max);
            break;
        }
        case SettingInfo::WHOLE:
            settings.*info.whole = std::clamp(settings.*info.whole + by * static_cast<int>(info.step),
                                              static_cast<int>(info.min), static_cast<int>(info.max));
            break;
        case SettingInfo::SCALE: {
            // Below the smallest scale lies "auto".
            int const scale = settings.renderScale == 0 ? static_cast<int>(info.min) - 5 : settings.renderScale;
            int const next = std::clamp(scale + by * static_cast<int>(info.step), static_cast<int>(info.min) - 5, 100);
            settings.renderScale = next < info.min ? 0 : next;
            break;
        }
        case SettingInfo::SWITCH: settings.*info.flag = !(settings.*info.flag); break;
        case SettingInfo::CHOICE: {
            int const count = static_cast<int>(info.choices.size());
            settings.*info.whole = ((settings.*info.whole + by) % count + count) % count;
            break;
        }
        case SettingInfo::KEYS: slot = std::clamp(slot + by, 0, 1); break;
    }
}

void SettingsScreen::activate() {
    int const settingRows = static_cast<int>(settingInfos().size());
    if (row == settingRows) {
        std::string const problem = saveSettings(path, settings, loaded);
        loaded.unreadable = loaded.unreadable && !problem.empty();
        status = problem.empty() ? "Saved to " + path : "Not saved: " + problem;
        if (problem.empty()) keepFile(path);
    } else if (row == settingRows + 1) {
        open = false;
    } else if (settingInfos()[row].kind == SettingInfo::KEYS) {
        waitingForKey = true;
        status = "Press the key for " + labelOf(settingInfos()[row]) + " (Escape: none)";
    } else {
        change(1);
    }
}

int SettingsScreen::rowAt(float y) const {
    return settingsRowAt(y, layoutFor(rows()), first, rows());
}

void SettingsScreen::press(int key) {
    if (waitingForKey) {
        settings.keys[settingInfos()[row].action][slot] = key == raylib::KEY_ESCAPE ? 0 : key;
        waitingForKey = false;
        status.clear();
        return;
    }
    int const settingRows = static_cast<int>(settingInfos().size());
    bool const onKeys = row < settingRows && settingInfos()[row].kind == SettingInfo::KEYS;
    auto const& closing = settings.keys[OPEN_SETTINGS];
    if (key == raylib::KEY_UP || key == raylib::KEY_DOWN) {
        row = std::clamp(row + (key == raylib::KEY_DOWN ? 1 : -1), 0, rows() - 1);
    } else if (key == raylib::KEY_LEFT || key == raylib::KEY_RIGHT) {
        change(key == raylib::KEY_RIGHT ? 1 : -1);
    } else if (key == raylib::KEY_ENTER || key == raylib::KEY_KP_ENTER) {
        activate();
    } else if (onKeys && (key == raylib::KEY_DELETE || key == raylib::KEY_BACKSPACE)) {
        settings.keys[settingInfos()[row].action][slot] = 0;
    } else if (key == raylib::KEY_ESCAPE || key == closing[0] || key == closing[1]) {
        open = false;
    }
}

bool SettingsScreen::update(std::vector<int> const& keys) {
    // Keys in the order they were pressed: a binding waits for the key after
    // the one that asked for it, also within one frame.
    for (int const key : keys) {
        if (open) press(key);
    }
    auto const button = [](int b) { return raylib::IsGamepadButtonPressed(GAMEPAD, b); };
    std::pair<int, int> const buttons[] = {
        {raylib::GAMEPAD_BUTTON_LEFT_FACE_UP, raylib::KEY_UP},
        {raylib::GAMEPAD_BUTTON_LEFT_FACE_DOWN, raylib::KEY_DOWN},
        {raylib::GAMEPAD_BUTTON_LEFT_FACE_LEFT, raylib::KEY_LEFT},
        {raylib::GAMEPAD_BUTTON_LEFT_FACE_RIGHT, raylib::KEY_RIGHT},
        {raylib::GAMEPAD_BUTTON_RIGHT_FACE_DOWN, raylib::KEY_ENTER},
        {raylib::GAMEPAD_BUTTON_RIGHT_FACE_RIGHT, raylib::KEY_ESCAPE},
        {raylib::GAMEPAD_BUTTON_MIDDLE_RIGHT, raylib::KEY_ESCAPE},
    };
    for (auto const& [gamepadButton, key] : buttons) {
        if (open && !waitingForKey && button(gamepadButton)) press(key);
    }
    row = std::clamp(row - static_cast<int>(raylib::GetMouseWheelMove()), 0, rows() - 1);
    // The pointer, let go as the screen opens, jumps to the window's middle:
    // only a later move points at a row.
    if (++framesOpen > 2 && (raylib::GetMouseDelta().x != 0 || raylib::GetMouseDelta().y != 0)) {
        if (int const hovered = rowAt(raylib::GetMousePosition().y); hovered >= 0) row = hovered;
    }
    if (raylib::IsMouseButtonPressed(raylib::MOUSE_BUTTON_LEFT) && rowAt(raylib::GetMousePosition().y) == row) {
        bool const valued = row < static_cast<int>(settingInfos().size()) &&
                            settingInfos()[row].kind != SettingInfo::SWITCH &&
                            settingInfos()[row].kind != SettingInfo::KEYS;
        int const step = valueStepAt(raylib::GetMousePosition().x, layoutFor(rows()));
        if (valued && step != 0) {
            change(step);
        } else {
            activate();
        }
    }
    // The list scrolls to the chosen setting, and stays put for Save and Close.
    int const settingRows = static_cast<int>(settingInfos().size());
    int const shown = std::min(row, settingRows - 1), visible = layoutFor(rows()).visibleRows;
    first = std::clamp(std::clamp(first, shown - visible + 1, shown), 0, settingRows - visible);
    return open;
}

void SettingsScreen::draw() const {
    SettingsLayout const layout = layoutFor(rows());
    int const settingRows = static_cast<int>(settingInfos().size());
    // From the window's top, over the title, the list, Save and Close and
    // the help line.
    int const helpY = layout.footerY + 2 * layout.rowHeight + layout.rowHeight / 4;
    raylib::DrawRectangle(layout.x - 10, 0, layout.width + 20, helpY + layout.rowHeight, PANEL);
    raylib::DrawText("Settings", layout.x, layout.y - layout.rowHeight - layout.rowHeight / 4, layout.fontSize, CHOSEN);
    for (int i = settingRows; i < rows(); ++i) {
        raylib::DrawText(i == settingRows ? "Save" : "Close", layout.x,
                         layout.footerY + (i - settingRows) * layout.rowHeight, layout.fontSize,
                         i == row ? CHOSEN : TEXT);
    }
    drawScrollBar(layout, first, settingRows);
    for (int i = first; i < std::min(settingRows, first + layout.visibleRows); ++i) {
        int const y = layout.y + (i - first) * layout.rowHeight;
        raylib::Color const color = i == row ? CHOSEN : TEXT;
        SettingInfo const& info = settingInfos()[i];
        std::string value = valueText(info, settings, ValueStyle::ON_SCREEN, i == row ? slot : -1);
        if (info.kind != SettingInfo::SWITCH && info.kind != SettingInfo::KEYS) value = "< " + value + " >";
        raylib::DrawText(labelOf(info).c_str(), layout.x, y, layout.fontSize, color);
        raylib::DrawText(value.c_str(), layout.x + static_cast<int>(layout.width * VALUE_FROM), y, layout.fontSize,
                         color);
    }
    std::string const help =
        status.empty() ? "Up, Down: choose   Left, Right: change   Enter: set   Escape: close" : status;
    raylib::DrawText(help.c_str(), layout.x, helpY, layout.fontSize, DIM);
}
