#pragma once

#include <string>
#include <vector>

#include "problem.h"
#include "settings.h"

// The settings file's place: $XDG_CONFIG_HOME/tessarine/settings.toml, or
// ~/.config/tessarine/settings.toml when the variable is unset.
std::string defaultSettingsPath();

// Settings as a file gave them, and what was said of it.
struct SettingsRead {
    Settings settings;
    // A warning for each value that was not used ("KEY: why; using
    // DEFAULT", where it stands) and for each unknown key.
    std::vector<Problem> warnings;
    // The keys this version does not know, as TOML lines to be kept.
    std::string unknown;
    // Whether the file was there but was no TOML: saving keeps it as .bad.
    bool unreadable = false;
};

// The settings of a TOML text, named fileName in warnings: every value of
// the wrong type or out of range is left at its default, with a warning; a
// text that is no TOML gives every default, with one warning.
SettingsRead readSettings(std::string const& text, std::string const& fileName);
// The settings of the file at path: every default, without a warning, when
// there is no file.
SettingsRead loadSettings(std::string const& path);

// Changes one setting from "KEY=VALUE", VALUE written as in the file;
// returns why it could not ("--set KEY=VALUE: why"), or nothing: then the
// setting is left as it was.
std::string setFromText(Settings& settings, std::string const& assignment);

// The file's text: a comment, then the setting, for every setting; then the
// unknown keys, as they were.
std::string settingsText(Settings const& settings, std::string const& unknown);

// Writes the settings to path without ever leaving it half written: into a
// file beside it, then renamed over it. When the file it replaces could not
// be read, that one is kept as path.bad. Returns why it could not be
// written, or nothing; then the old file is as it was.
std::string saveSettings(std::string const& path, Settings const& settings, SettingsRead const& loaded);
