#pragma once

#include <string>
#include <vector>

#include "settings-file.h"

// The screen's measures, in pixels, for a window of rows (the settings,
// then Save and Close): the larger the window, the larger the text. The
// settings that fit are shown from the list's top (y), scrolled; Save and
// Close stand under them (from footerY) whatever the list's scroll.
struct SettingsLayout {
    int fontSize, rowHeight, x, y, width, visibleRows, footerY;
};
SettingsLayout settingsLayout(int windowWidth, int windowHeight, int rows);
// The row shown at height y, the list scrolled to start at row first; -1
// off the list and off Save and Close.
int settingsRowAt(float y, SettingsLayout const& layout, int first, int rows);
// What a click at x does to a value: -1 left of its middle lowers it, 1
// right of it raises it; 0 left of the value, where a click picks the row.
int valueStepAt(float x, SettingsLayout const& layout);

// The settings screen, over the paused game: every setting in a list, and
// Save and Close. The arrow keys, the gamepad's pad, or the mouse (its wheel
// scrolls, a click picks) choose a row; left and right change its value, or
// the key of a binding; Enter, the gamepad's bottom button or a click turns a
// switch over, waits for the key a binding gets, saves or closes; Delete
// clears a key. Escape, the gamepad's right button or the settings key
// closes it. Each change shows at once.
class SettingsScreen {
public:
    SettingsScreen(Settings& settings, SettingsRead& loaded, std::string path)
        : settings(settings), loaded(loaded), path(std::move(path)) {}

    // One frame of the open screen, with the keys pressed since the last;
    // false once it is closed.
    bool update(std::vector<int> const& keys);
    void draw() const;

    // The line under the list: what saving did, or what to do.
    std::string status;

private:
    int rows() const;
    // One key pressed on the screen.
    void press(int key);
    void change(int by);
    void activate();
    // The row a point of the window is on, or -1.
    int rowAt(float y) const;

    Settings& settings;
    SettingsRead& loaded;
    std::string const path;
    int row = 0, first = 0, framesOpen = 0;
    // Which of a binding's two keys is chosen, and whether the next key
    // pressed becomes it.
    int slot = 0;
    bool waitingForKey = false;
    bool open = true;
};
