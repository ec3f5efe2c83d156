#pragma once

#include <ctime>
#include <filesystem>

// The user's pictures folder: XDG_PICTURES_DIR, from the environment or from
// the user's user-dirs.dirs, when it exists; else the home folder.
std::filesystem::path picturesFolder();

// A name for a screenshot taken at that time in the folder, used by no file
// yet: tessarine-YYYY-MM-DD-HH-MM-SS.png, with -2, -3... added when needed.
std::filesystem::path screenshotPath(std::filesystem::path const& folder, std::time_t now);
