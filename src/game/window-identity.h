#pragma once

#include <string>

// The one id of the game on a desktop: its menu entry, its metadata, its
// icon and its window's class.
inline constexpr char const* APPLICATION_ID = "org.tessarine.Tessarine";
// The icon of the menu entry, and of the window.
inline constexpr char const* ICON_PATH = "assets/icons/org.tessarine.Tessarine.png";

// Sets the class of the game's window (WM_CLASS) to APPLICATION_ID, so that
// desktops match the window with its menu entry. Call it while the window
// is still hidden.
void setWindowClass();

// Gives the window the menu entry's icon (_NET_WM_ICON), from the assets
// under assetRoot.
void setWindowIcon(std::string const& assetRoot);
