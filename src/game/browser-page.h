#pragma once

#include <string>

#include "raylib-api.h"

// What the game does in a web page, which keeps no files between visits,
// has no folder for pictures, runs one thread, and is read by its tests.
// On the desktop these do nothing.
#ifdef __EMSCRIPTEN__
inline constexpr bool IN_A_BROWSER = true;
// Writes the file at path as the page's storage kept it, when it did.
void restoreKeptFile(std::string const& path);
// Keeps the file at path in the page's storage, for the next visit.
void keepFile(std::string const& path);
// Hands the file at path to the browser as a download.
void downloadFile(std::string const& path);
// Tells the page that a frame was shown, and where the player stands.
void reportFrame(raylib::Vector3 position);
// Makes the canvas as large as the page, in the page's pixels.
void fitCanvasToPage();
#else
inline constexpr bool IN_A_BROWSER = false;
inline void restoreKeptFile(std::string const&) {}
inline void keepFile(std::string const&) {}
inline void downloadFile(std::string const&) {}
inline void reportFrame(raylib::Vector3) {}
inline void fitCanvasToPage() {}
#endif
